// Saves pictures of the External configuration page and its three settings dialogs, drawn offscreen, so
// their look can be checked: link-screens OUTPUT_FOLDER. Uses a fresh program folder of its own.
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "links/ExtItfWnd.h"
#include "links/LinkSetDlgs.h"
#include "links/Transport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: link-screens OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("ini"));
    g_strAppDir = (home.path() + '/').toStdU16String();
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    md.nOvrCommType = COMM_TCP;
    md.nIvrCommType = COMM_UDP;
    md.nIvrSupplier = 2;
    md.nTvgCommType = COMM_SERIAL;
    // The page loads the link settings from ExtItf.ini.
    QFile ini(home.path() + "/ini/ExtItf.ini");
    if (ini.open(QIODevice::WriteOnly))
        ini.write(
            "[OVR]\r\nTcp_IP=-1062731766\r\nTcp_Port=5100\r\n[IVR]\r\nUdp_IP=-1062731765\r\nUdp_TX=5201\r\n"
            "Udp_RX=5202\r\n[TVG]\r\nSerial_COM_Port=/dev/ttyUSB0\r\nSerial_Baudrate=57600\r\n"
            "Serial_Dat_Bits=3\r\n");
    ini.close();
    {
        CTK_ExtItfWnd page(&md);
        page.resize(page.sizeHint());
        page.grab().save(out + "/external-page.png");
        CTK_SerialSetDlg serial(&md, 2);
        serial.grab().save(out + "/serial-setting.png");
        CTK_TcpUdpSetDlg tcp(&md, 0, 1);
        tcp.grab().save(out + "/tcp-setting.png");
        CTK_TcpUdpSetDlg udp(&md, 1, 2);
        udp.grab().save(out + "/udp-setting.png");
        CTK_JsonSetDlg json(&md);
        json.grab().save(out + "/json-setting.png");
    }
    FreeMatchData();
    return 0;
}
