#include "links/LinkSettings.h"
#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "links/ExtItfWnd.h"
#include "links/LinkSetDlgs.h"
#include "links/LinkSlots.h"
#include "links/MatchInput.h"
#include "links/Transport.h"
#include "links/WtApiClient.h"
#include "links/WtConnectTest.h"
#include "tests/platform/EventPump.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestCourt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace LinkSettings;

constexpr DWORD kLoopback = 0x7F000001;

std::string Ini(const WCHAR* section, const WCHAR* key, const WCHAR* file = u"ExtItf.ini") {
    WCHAR buffer[kIniValueChars];
    ReadIniString(section, key, buffer, file);
    return QString::fromUtf16(buffer).toStdString();
}

TEST(LinkSettingsTables, TheBaudRateReadsBackAsTheRateStored) {
    const std::pair<int, int> stored[] = {{9600, 9600}, {115200, 115200}, {14400, 14400},
                                          {0, 4800},    {1, 9600},        {7, 115200},
                                          {8, 9600},    {-1, 9600},       {12345, 9600}};
    for (const auto& [value, rate] : stored)
        EXPECT_EQ(BaudFromStored(value), rate) << value;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(BaudIndex(kBaudRates[i]), i);
        EXPECT_EQ(BaudOfIndex(i), kBaudRates[i]);
    }
    EXPECT_EQ(BaudIndex(1), 1) << "an unlisted rate shows 9600";
    EXPECT_EQ(BaudOfIndex(-1), 9600) << "no selection saves 9600";
}

TEST(LinkSettingsTables, ThePortSelectionMatchesExactlyFirst) {
    using Ports = std::vector<std::u16string>;
    struct Case {
        Ports ports;
        std::u16string stored;
        int selected;
    };
    const Case cases[] = {
        {{u"COM1", u"COM10"}, u"COM1", 0},
        {{u"COM10", u"COM1"}, u"com1", 1},
        {{u"/dev/ttyS0", u"/dev/ttyUSB0"}, u"/dev/TTYUSB0", 1},
        // No exact entry: from the second entry round to the first, the first that begins with it.
        {{u"/dev/ttyUSB0", u"/dev/ttyUSB1"}, u"/dev/ttyUSB", 1},
        {{u"/dev/ttyUSB0", u"/dev/ttyACM0"}, u"/dev/ttyUSB", 0},
        {{u"/dev/ttyS0"}, u"/dev/pts/3", -1},
        {{u"/dev/ttyS0"}, u"", -1},
        {{}, u"/dev/ttyS0", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectPort(c.ports, c.stored), c.selected)
            << QString::fromStdU16String(c.stored).toStdString();
}

TEST(LinkSettingsTables, AddressesAndPortsFromTheDialogs) {
    DWORD ip = 0;
    EXPECT_TRUE(ParseIp(u"192.168.0.10", &ip));
    EXPECT_EQ(ip, 0xC0A8000Au);
    EXPECT_EQ(IpText(ip), u"192.168.0.10");
    for (const char16_t* bad : {u"192.168.0", u"256.1.1.1", u"1.2.3.4.5", u"a.b.c.d", u"", u"1..2.3"})
        EXPECT_FALSE(ParseIp(bad, &ip)) << QString::fromUtf16(bad).toStdString();
    int port = 0;
    EXPECT_TRUE(ParsePort(u"65535", &port));
    EXPECT_EQ(port, 65535);
    for (const char16_t* bad : {u"65536", u"-1", u"", u"80a"})
        EXPECT_FALSE(ParsePort(bad, &port)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(KillRecord(3), std::string("\x01\x12\x33\x13\x5E\x4B\x49\x4C\x4C\x21\x04", 11));
}

class LinkSettingsFiles : public ::testing::Test, protected TestCourt {};

TEST_F(LinkSettingsFiles, ExtItfLoadsEverySectionAndKeepsNegativeAddresses) {
    home.write("ini/ExtItf.ini",
               "[OVR]\r\nSerial_COM_Port=/dev/ttyUSB0\r\nSerial_Baudrate=1\r\nSerial_Dat_Bits=9\r\n"
               "Serial_Parity=2\r\nSerial_Stop_Bits=1\r\nTcp_IP=-1062731766\r\nTcp_Port=5100\r\n"
               "Udp_IP=-1062731766\r\nUdp_TX=5101\r\nUdp_RX=5102\r\n"
               "WT_Protocol_Baseurl=https://wt.example/api\r\n"
               "[PREREG]\r\nTcp_IP=2130706433\r\nTcp_Port=5400\r\n");
    LoadExtItf(*md);
    EXPECT_EQ(md->cfgOvr.dwTcpIp, 0xC0A8000Au) << "192.168.0.10";
    EXPECT_EQ(md->cfgOvr.dwUdpIp, 0xC0A8000Au);
    EXPECT_EQ(md->cfgOvr.nTcpPort, 5100);
    EXPECT_EQ(md->cfgOvr.nUdpTx, 5101);
    EXPECT_EQ(md->cfgOvr.nUdpRx, 5102);
    EXPECT_EQ(QString::fromUtf16(md->cfgOvr.wszComPort), "/dev/ttyUSB0");
    EXPECT_EQ(md->cfgOvr.nBaudrate, 9600) << "an index reads as its rate";
    EXPECT_EQ(md->cfgOvr.nDataBits, 3) << "outside the list: 8 data bits";
    EXPECT_EQ(md->cfgOvr.nParity, 2);
    EXPECT_EQ(md->cfgOvr.nStopBits, 1);
    EXPECT_EQ(md->dwPreRegIp, kLoopback);
    EXPECT_EQ(md->nPreRegPort, 5400);
    EXPECT_EQ(QString::fromUtf16(md->wszWTBaseUrl), "https://wt.example/api");
    // No [ST] section: the Swiss Timing settings stay empty.
    EXPECT_EQ(md->cfgSt.wszComPort[0], u'\0');
    EXPECT_EQ(md->cfgSt.nBaudrate, 9600);
}

TEST_F(LinkSettingsFiles, TheTcpDialogWritesTheAddressAsASignedNumberThatReadsBackTheSame) {
    CTK_TcpUdpSetDlg dialog(md, 0, 1);
    EXPECT_FALSE(dialog.Edit(CTK_TcpUdpSetDlg::Rx)->isVisibleTo(&dialog)) << "TCP has one port";
    EXPECT_EQ(dialog.Label(CTK_TcpUdpSetDlg::TxLabel)->text(), "Port");
    dialog.Edit(CTK_TcpUdpSetDlg::Address)->setText("192.168.0.10");
    dialog.Edit(CTK_TcpUdpSetDlg::Tx)->setText("5100");
    ASSERT_TRUE(dialog.SaveSettings());
    EXPECT_EQ(Ini(u"OVR", u"Tcp_IP"), "-1062731766");
    EXPECT_EQ(Ini(u"OVR", u"Tcp_Port"), "5100");
    md->cfgOvr.dwTcpIp = 0;
    LoadExtItf(*md);
    EXPECT_EQ(md->cfgOvr.dwTcpIp, 0xC0A8000Au);

    // Bad input says why and writes nothing.
    CTK_TcpUdpSetDlg udp(md, 1, 2);
    udp.Edit(CTK_TcpUdpSetDlg::Address)->setText("192.168.0");
    EXPECT_FALSE(udp.SaveSettings());
    udp.Edit(CTK_TcpUdpSetDlg::Address)->setText("10.0.0.1");
    udp.Edit(CTK_TcpUdpSetDlg::Rx)->setText("70000");
    EXPECT_FALSE(udp.SaveSettings());
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(Ini(u"IVR", u"Udp_IP"), "");
    udp.Edit(CTK_TcpUdpSetDlg::Rx)->setText("5202");
    ASSERT_TRUE(udp.SaveSettings());
    EXPECT_EQ(Ini(u"IVR", u"Udp_IP"), "167772161");
    EXPECT_EQ(Ini(u"IVR", u"Udp_RX"), "5202");
    EXPECT_EQ(md->cfgIvr.nUdpRx, 5202);
}

TEST_F(LinkSettingsFiles, TheSerialDialogShowsAStoredIndexAsItsRateAndKeepsATypedPort) {
    md->cfgTvg.nBaudrate = 1;
    md->cfgTvg.nDataBits = 2;
    md->cfgTvg.nParity = 1;
    md->cfgTvg.nStopBits = 1;
    std::copy_n(u"COM1", 5, md->cfgTvg.wszComPort);
    CTK_SerialSetDlg dialog(md, 2);
    dialog.FillComPorts({u"COM1", u"COM10"});
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.List(CTK_SerialSetDlg::ComPort)->currentText(), "COM1");
    EXPECT_EQ(dialog.List(CTK_SerialSetDlg::Baudrate)->currentText(), "9600");
    EXPECT_EQ(dialog.List(CTK_SerialSetDlg::DataBits)->currentText(), "7");
    EXPECT_EQ(dialog.List(CTK_SerialSetDlg::Parity)->currentText(), "ODD");
    EXPECT_EQ(dialog.List(CTK_SerialSetDlg::StopBits)->currentText(), "2");
    dialog.SaveSettings();
    EXPECT_EQ(Ini(u"TVG", u"Serial_Baudrate"), "9600");
    EXPECT_EQ(Ini(u"TVG", u"Serial_COM_Port"), "COM1");
    EXPECT_EQ(Ini(u"TVG", u"Serial_Dat_Bits"), "2");
    EXPECT_EQ(md->cfgTvg.nBaudrate, 9600);

    // A path the machine does not list (a pty, a by-id name) stays as typed.
    std::copy_n(u"/dev/pts/7", 11, md->cfgSt.wszComPort);
    CTK_SerialSetDlg st(md, 4);
    st.FillComPorts({u"/dev/ttyS0"});
    st.OnInitDialog();
    EXPECT_EQ(st.List(CTK_SerialSetDlg::ComPort)->currentText(), "/dev/pts/7");
    st.List(CTK_SerialSetDlg::Baudrate)->setCurrentIndex(2);
    st.SaveSettings();
    EXPECT_EQ(Ini(u"ST", u"Serial_COM_Port"), "/dev/pts/7");
    EXPECT_EQ(Ini(u"ST", u"Serial_Baudrate"), "14400");
}

TEST_F(LinkSettingsFiles, TheApiKeyLivesInMemoryOnlyWhileTheBaseUrlIsWritten) {
    CTK_JsonSetDlg dialog(md);
    qobject_cast<QLineEdit*>(dialog.Item(CTK_JsonSetDlg::BaseUrl))->setText("https://wt.example/api");
    qobject_cast<QLineEdit*>(dialog.Item(CTK_JsonSetDlg::ApiKey))->setText("secret-key");
    dialog.SaveSettings();
    EXPECT_EQ(QString::fromUtf16(md->wszWTApiKey), "secret-key");
    EXPECT_EQ(md->nWTMat, 1);
    EXPECT_EQ(Ini(u"OVR", u"WT_Protocol_Baseurl"), "https://wt.example/api");
    EXPECT_EQ(home.read("ini/ExtItf.ini").find("secret"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------------------
// The page over a live operator view.

class PageView : public CMainWnd {
public:
    void SendWtMessage(int target, int code, int side, int) override {
        calls.push_back("wt " + std::to_string(target) + " " + std::to_string(code) + " " +
                        std::to_string(side));
    }
    void ConnectTournamentDb() override {
        calls.push_back("database");
        if (g_pMatchData)
            g_pMatchData->bOvrConnected = connectDatabase;
    }
    std::vector<std::string> calls;
    int connectDatabase = 1;
};

class ExtItfPageTest : public ::testing::Test, protected TestCourt {
protected:
    ExtItfPageTest() {
        server.listen(QHostAddress::LocalHost);
        home.write("ini/ExtItf.ini",
                   "[OVR]\r\nTcp_IP=2130706433\r\nTcp_Port=" + std::to_string(server.serverPort()) +
                       "\r\n[PREREG]\r\nTcp_IP=2130706433\r\nTcp_Port=" +
                       std::to_string(server.serverPort()) + "\r\n");
        md->nCourtNo = 3;
        md->nOvrCommType = COMM_TCP;
        view = std::make_unique<PageView>();
        g_hMainWnd = view->GetSafeHwnd();
        page = std::make_unique<CTK_ExtItfWnd>(md);
    }
    ~ExtItfPageTest() override {
        page.reset();
        view.reset();
        g_hMainWnd = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(page->Item(id)); }
    QString LampState(int id) { return page->Item(id)->toolTip(); }
    QTcpSocket* Accept() {
        EXPECT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
        return server.nextPendingConnection();
    }

    QTcpServer server;
    std::unique_ptr<PageView> view;
    std::unique_ptr<CTK_ExtItfWnd> page;
};

TEST_F(ExtItfPageTest, NoWhileTheConnectIsUnderWayClosesTheLink) {
    prompter.answer(IDNO);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Are you sure to connect to the OVR system?"}));
    EXPECT_EQ(md->pOvrLink, nullptr);
    EXPECT_EQ(md->bOvrConnected, 0);
    EXPECT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Connect");
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("closed"));
}

TEST_F(ExtItfPageTest, YesLeavesTheConnectUnderWayAndThePageFollowsItsState) {
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    ASSERT_NE(md->pOvrLink, nullptr);
    // Until the peer has answered the link shows as connecting and the button gives up waiting.
    EXPECT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Cancel");
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("connecting"));
    EXPECT_FALSE(page->Item(CTK_ExtItfWnd::OvrComm)->isEnabled());
    QTcpSocket* peer = Accept();
    ASSERT_TRUE(pumpUntil([&] { return Button(CTK_ExtItfWnd::OvrOpen)->text() == "Disconnect"; }));
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("open"));
    EXPECT_FALSE(page->Item(CTK_ExtItfWnd::OvrComm)->isEnabled());

    // The peer goes: the page shows the link closed again.
    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return Button(CTK_ExtItfWnd::OvrOpen)->text() == "Connect"; }));
    EXPECT_TRUE(page->Item(CTK_ExtItfWnd::OvrComm)->isEnabled());
}

TEST_F(ExtItfPageTest, CancelWhileConnectingClosesTheLinkWithoutAQuestion) {
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    ASSERT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Cancel");
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Are you sure to connect to the OVR system?"}));
    EXPECT_EQ(md->pOvrLink, nullptr);
    EXPECT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Connect");
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("closed"));
}

TEST_F(ExtItfPageTest, ClosingASupplier0LinkSendsTheKillRecordFirst) {
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    QTcpSocket* peer = Accept();
    ASSERT_TRUE(pumpUntil([&] { return md->bOvrConnected == 1; }));
    std::strcpy(md->szOvrRecv, "old reply");
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(md->pOvrLink, nullptr);
    ASSERT_TRUE(pumpUntil(
        [&] { return peer->state() == QAbstractSocket::UnconnectedState || peer->bytesAvailable() >= 11; }));
    pumpUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, std::chrono::seconds(2));
    EXPECT_EQ(peer->readAll().toStdString(), KillRecord(3));
    EXPECT_STREQ(md->szOvrRecv, "");
}

TEST_F(ExtItfPageTest, WithPreRegistrationInUseTheKillRecordGoesToThePreRegistrationLink) {
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    QTcpSocket* ovrPeer = Accept();
    qobject_cast<QCheckBox*>(page->Item(CTK_ExtItfWnd::PreRegCheck))->click();
    EXPECT_EQ(md->bUsePreReg, 1);
    ASSERT_TRUE(Button(CTK_ExtItfWnd::PreRegConnect)->isEnabled());
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::PreRegConnect)->click();
    QTcpSocket* preRegPeer = Accept();
    ASSERT_TRUE(pumpUntil([&] { return md->bOvrConnected && md->bPreRegConnected; }));
    ASSERT_TRUE(pumpUntil([&] { return Button(CTK_ExtItfWnd::PreRegConnect)->text() == "Disconnect"; }));

    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    ASSERT_TRUE(pumpUntil([&] { return preRegPeer->bytesAvailable() >= 11; }));
    EXPECT_EQ(preRegPeer->readAll().toStdString(), KillRecord(3));
    pumpUntil([&] { return ovrPeer->state() == QAbstractSocket::UnconnectedState; }, std::chrono::seconds(2));
    EXPECT_EQ(ovrPeer->readAll(), "") << "the OVR link closed without it";
    EXPECT_EQ(md->bPreRegConnected, 1);
}

TEST_F(ExtItfPageTest, TheVmsAndDatabaseSuppliersOpenNoLinkAndShowTheirState) {
    qobject_cast<QComboBox*>(page->Item(CTK_ExtItfWnd::OvrSupplier))->setCurrentIndex(5);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(md->bOvrConnected, 1);
    EXPECT_EQ(g_MatchInput.bValid, 1);
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("open"));
    prompter.answer(IDYES);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(md->bOvrConnected, 0);
    EXPECT_EQ(g_MatchInput.bValid, 0);
    EXPECT_EQ(md->pOvrLink, nullptr);

    qobject_cast<QComboBox*>(page->Item(CTK_ExtItfWnd::OvrSupplier))->setCurrentIndex(3);
    Button(CTK_ExtItfWnd::OvrOpen)->click();
    EXPECT_EQ(view->calls, (std::vector<std::string>{"database"}));
    EXPECT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Disconnect");
    Button(CTK_ExtItfWnd::OvrOpen)->click(); // closes without a question
    EXPECT_EQ(md->bOvrConnected, 0);
    EXPECT_EQ(Button(CTK_ExtItfWnd::OvrOpen)->text(), "Connect") << "a closed database link shows closed";
    EXPECT_TRUE(LampState(CTK_ExtItfWnd::OvrLamp).endsWith("closed"));
}

TEST_F(ExtItfPageTest, SavingWritesTheRuleKeysWithTheWtSupplierWhenTheProtocolIsOn) {
    qobject_cast<QComboBox*>(page->Item(CTK_ExtItfWnd::OvrSupplier))->setCurrentIndex(2);
    qobject_cast<QComboBox*>(page->Item(CTK_ExtItfWnd::IvrComm))->setCurrentIndex(2);
    qobject_cast<QCheckBox*>(page->Item(CTK_ExtItfWnd::UseWtCheck))->click();
    EXPECT_FALSE(Button(CTK_ExtItfWnd::OvrOpen)->isEnabled());
    EXPECT_TRUE(Button(CTK_ExtItfWnd::ConnectTest)->isEnabled());
    qobject_cast<QLineEdit*>(page->Item(CTK_ExtItfWnd::LedBlinks))->setText("0");
    qobject_cast<QLineEdit*>(page->Item(CTK_ExtItfWnd::LedDuration))->setText("50");
    qobject_cast<QLineEdit*>(page->Item(CTK_ExtItfWnd::LedRest))->setText("100");
    page->OnClickedLedSet();
    EXPECT_EQ(md->nLedNumberOfBlink, 2);
    EXPECT_EQ(md->nLedDurationTime, 500);
    page->SaveSettings();
    EXPECT_EQ(Ini(u"OVR", u"Supplier", u"Rule.ini"), "8");
    EXPECT_EQ(Ini(u"OVR", u"Use_WT_Protocol", u"Rule.ini"), "1");
    EXPECT_EQ(Ini(u"OVR", u"Comminucation_Type", u"Rule.ini"), "1");
    EXPECT_EQ(Ini(u"IVR", u"Comminucation_Type", u"Rule.ini"), "2");
    EXPECT_EQ(Ini(u"LED", u"Number_of_Blink", u"Rule.ini"), "0") << "saved as typed";
    EXPECT_EQ(Ini(u"LED", u"Duration_Time", u"Rule.ini"), "50");
    EXPECT_EQ(md->nOvrSupplier, 8);
}

// Until the test lets it go, a request waits in the server, as at a WT server that answers late.
class ReplyGate {
public:
    void Open() {
        {
            std::lock_guard lock(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }
    void Wait() {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
};

class ConnectTestPage : public ExtItfPageTest {
protected:
    ConnectTestPage() {
        WtApiStartup();
        qobject_cast<QCheckBox*>(page->Item(CTK_ExtItfWnd::UseWtCheck))->click();
        SetBaseUrl(api.BaseUrl() + "/wt");
    }
    ~ConnectTestPage() override {
        gate->Open(); // before the server goes: its thread may wait here
        WtApiShutdown();
    }
    void SetBaseUrl(const std::string& url) {
        const std::u16string base = QString::fromStdString(url).toStdU16String();
        std::fill(std::begin(md->wszWTBaseUrl), std::end(md->wszWTBaseUrl), u'\0');
        std::copy(base.begin(), base.end(), md->wszWTBaseUrl);
    }
    // The status request is answered with status once the gate opens.
    void AnswerAfterGate(int status) {
        api.SetResponder([gate = gate, status](const HttpRequestSeen&) {
            gate->Wait();
            return HttpReply{status, ""};
        });
    }
    bool Testing() {
        return Button(CTK_ExtItfWnd::ConnectTest)->text() == "Testing..." &&
               !Button(CTK_ExtItfWnd::ConnectTest)->isEnabled();
    }
    bool TestEnded() {
        return Button(CTK_ExtItfWnd::ConnectTest)->text() == "Connect Test" &&
               Button(CTK_ExtItfWnd::ConnectTest)->isEnabled();
    }

    LocalHttpServer api;
    std::shared_ptr<ReplyGate> gate = std::make_shared<ReplyGate>();
};

TEST_F(ConnectTestPage, WithoutTheHttpLibraryNothingIsAskedAndTheOvrSlotStaysClosed) {
    WtApiShutdown();
    Button(CTK_ExtItfWnd::ConnectTest)->click();
    ASSERT_TRUE(pumpUntil([&] { return TestEnded(); }));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_TRUE(api.Requests().empty());
    EXPECT_EQ(md->pOvrLink, nullptr);
    EXPECT_EQ(md->bOvrConnected, 0);
}

TEST_F(ConnectTestPage, ShowsTheServersAnswerAndMarksTheOvrSlot) {
    api.SetResponder([](const HttpRequestSeen& r) {
        return HttpReply{r.target == "/wt/status" ? 200 : 404, ""};
    });
    struct Case {
        std::string base;
        const char* box;
        int connected;
    };
    const Case cases[] = {
        {api.BaseUrl() + "/wt", "HTTP Response Code : 200", 1},
        {api.BaseUrl() + "/elsewhere", "HTTP Response Code : 404", 0},
        {"http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()), "HTTP Response Code : 0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        SetBaseUrl(c.base);
        const std::size_t boxes = prompter.texts().size();
        Button(CTK_ExtItfWnd::ConnectTest)->click();
        ASSERT_TRUE(pumpUntil([&] { return prompter.texts().size() > boxes; }));
        ASSERT_EQ(prompter.texts().size(), boxes + 1);
        EXPECT_EQ(prompter.texts().back(), c.box);
        EXPECT_EQ(md->bOvrConnected, c.connected);
        EXPECT_EQ(md->pOvrLink != nullptr, c.connected == 1);
        EXPECT_TRUE(TestEnded());
    }
}

// The click returns at once; the page says the test runs and takes no second one, the UI thread's timers
// keep running, and the answer shown is the one the server gives when it finally answers.
TEST_F(ConnectTestPage, ALateServerLeavesThePageAnsweringAndItsAnswerIsShown) {
    const std::pair<int, const char*> answers[] = {{200, "HTTP Response Code : 200"},
                                                   {503, "HTTP Response Code : 503"}};
    for (const auto& [status, box] : answers) {
        SCOPED_TRACE(status);
        gate = std::make_shared<ReplyGate>();
        AnswerAfterGate(status);
        const std::size_t requests = api.Requests().size();
        const std::size_t boxes = prompter.texts().size();
        Button(CTK_ExtItfWnd::ConnectTest)->click();
        EXPECT_TRUE(Testing());
        EXPECT_FALSE(page->Item(CTK_ExtItfWnd::UseWtCheck)->isEnabled());
        ASSERT_TRUE(api.WaitForRequests(requests + 1));

        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(5);
        ASSERT_TRUE(pumpUntil([&] { return ticks >= 10; }));
        Button(CTK_ExtItfWnd::ConnectTest)->click(); // still testing: no second request
        EXPECT_TRUE(Testing());
        EXPECT_EQ(prompter.texts().size(), boxes) << "nothing is shown before the server answers";

        gate->Open();
        ASSERT_TRUE(pumpUntil([&] { return prompter.texts().size() > boxes; }));
        EXPECT_EQ(prompter.texts().back(), box);
        EXPECT_EQ(md->bOvrConnected, status == 200 ? 1 : 0);
        EXPECT_EQ(api.Requests().size(), requests + 1);
        EXPECT_TRUE(TestEnded());
        EXPECT_TRUE(page->Item(CTK_ExtItfWnd::UseWtCheck)->isEnabled());
    }
}

TEST_F(ConnectTestPage, AnAnswerAfterThePageClosedFindsNoPageAndAReopenedPageTestsAgain) {
    AnswerAfterGate(200);
    Button(CTK_ExtItfWnd::ConnectTest)->click();
    ASSERT_TRUE(api.WaitForRequests(1));
    page.reset();
    gate->Open();
    ASSERT_TRUE(pumpUntil([] { return !WtApiConnectTest().Running(); }));
    QCoreApplication::processEvents(); // the worker's post, for a window that is gone
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(md->bOvrConnected, 0) << "a closed page applies nothing";

    page = std::make_unique<CTK_ExtItfWnd>(md);
    SetBaseUrl(api.BaseUrl() + "/wt"); // the page read ExtItf.ini's over it
    ASSERT_TRUE(TestEnded());
    Button(CTK_ExtItfWnd::ConnectTest)->click();
    ASSERT_TRUE(pumpUntil([&] { return !prompter.texts().empty(); }));
    EXPECT_EQ(prompter.texts().back(), "HTTP Response Code : 200");
    EXPECT_EQ(md->bOvrConnected, 1);
}

// The program closes while the server says nothing: the shutdown cuts the request short instead of
// waiting out its time-out, and nothing is shown.
TEST_F(ConnectTestPage, AProgramClosingDuringATestEndsItWithoutABox) {
    api.SetResponder([](const HttpRequestSeen&) { return HttpReply{200, "", std::chrono::hours(1)}; });
    Button(CTK_ExtItfWnd::ConnectTest)->click();
    ASSERT_TRUE(api.WaitForRequests(1));
    const auto start = std::chrono::steady_clock::now();
    WtApiShutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8))
        << "well before the request's own time-out of 10 s";
    EXPECT_FALSE(WtApiConnectTest().Running());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(md->bOvrConnected, 0);
}

} // namespace
