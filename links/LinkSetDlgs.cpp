#include "links/LinkSetDlgs.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "links/LinkSettings.h"
#include "links/WtApiClient.h"
#include "platform/LinkSerialPort.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// "Okay" and "Cancel" under a dialog's form; Okay runs save, which says whether the dialog may close.
template <typename Save> void AddButtons(QDialog* dialog, QLayout* layout, Save save) {
    auto* buttons = new QDialogButtonBox;
    QPushButton* okay = buttons->addButton(QStringLiteral("Okay"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    okay->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, save] {
        if (save())
            dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

QComboBox* Combo(int id, const QStringList& items) {
    auto* box = new QComboBox;
    box->setObjectName(QString::number(id));
    box->addItems(items);
    return box;
}

void CopyWide(const QString& text, char16_t (&field)[260]) {
    const std::u16string value = text.left(259).toStdU16String();
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy(value.begin(), value.end(), field);
}

} // namespace

// ---- serial ----

CTK_SerialSetDlg::CTK_SerialSetDlg(MatchData* md, int kind, QWidget* parent)
    : QDialog(parent), m_pData(md), m_nKind(kind) {
    setWindowTitle(QStringLiteral("Serial Setting"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* port = Combo(ComPort, {});
    port->setEditable(true); // a device the list does not show can be typed as a path
    port->setMinimumContentsLength(24);
    port->setToolTip(QStringLiteral("Serial device; a path such as /dev/ttyUSB0 may be typed"));
    form->addRow(QStringLiteral("COM Port"), port);
    QStringList rates;
    for (int rate : LinkSettings::kBaudRates)
        rates << QString::number(rate);
    form->addRow(QStringLiteral("Baudrate"), Combo(Baudrate, rates));
    form->addRow(QStringLiteral("Data bits"), Combo(DataBits, {"5", "6", "7", "8"}));
    form->addRow(QStringLiteral("Parity"), Combo(Parity, {"NONE", "ODD", "EVEN"}));
    form->addRow(QStringLiteral("Stop bits"), Combo(StopBits, {"1", "2"}));
    layout->addLayout(form);
    AddButtons(this, layout, [this] {
        SaveSettings();
        return true;
    });
    std::vector<std::u16string> ports;
    for (const std::string& path : platform::ListSerialPorts())
        ports.push_back(QString::fromStdString(path).toStdU16String());
    FillComPorts(ports);
    OnInitDialog();
}

QComboBox* CTK_SerialSetDlg::List(int id) const {
    return findChild<QComboBox*>(QString::number(id));
}

void CTK_SerialSetDlg::FillComPorts(const std::vector<std::u16string>& ports) {
    QComboBox* list = List(ComPort);
    list->clear();
    for (const std::u16string& port : ports)
        list->addItem(QString::fromStdU16String(port));
}

void CTK_SerialSetDlg::OnInitDialog() {
    const TTK_LinkCfg* cfg = m_pData ? LinkSettings::CfgOf(*m_pData, m_nKind) : nullptr;
    if (!cfg)
        return;
    QComboBox* list = List(ComPort);
    std::vector<std::u16string> ports;
    for (int i = 0; i < list->count(); ++i)
        ports.push_back(list->itemText(i).toStdU16String());
    const QString stored = QString::fromUtf16(cfg->wszComPort);
    const int index = LinkSettings::SelectPort(ports, stored.toStdU16String());
    list->setCurrentIndex(index);
    if (index < 0)
        list->setEditText(stored); // a port the machine does not list now stays as it is
    List(Baudrate)->setCurrentIndex(LinkSettings::BaudIndex(cfg->nBaudrate));
    List(DataBits)->setCurrentIndex(std::clamp(cfg->nDataBits, 0, 3));
    List(Parity)->setCurrentIndex(std::clamp(cfg->nParity, 0, 2));
    List(StopBits)->setCurrentIndex(std::clamp(cfg->nStopBits, 0, 1));
}

void CTK_SerialSetDlg::SaveSettings() {
    TTK_LinkCfg* cfg = m_pData ? LinkSettings::CfgOf(*m_pData, m_nKind) : nullptr;
    if (!cfg)
        return;
    const QString port = List(ComPort)->currentText().trimmed();
    if (!port.isEmpty())
        CopyWide(port, cfg->wszComPort);
    cfg->nBaudrate = LinkSettings::BaudOfIndex(List(Baudrate)->currentIndex());
    cfg->nDataBits = std::max(0, List(DataBits)->currentIndex());
    cfg->nParity = std::max(0, List(Parity)->currentIndex());
    cfg->nStopBits = std::max(0, List(StopBits)->currentIndex());
    LinkSettings::SaveSerial(*m_pData, m_nKind);
}

// ---- TCP and UDP ----

CTK_TcpUdpSetDlg::CTK_TcpUdpSetDlg(MatchData* md, int kind, int transport, QWidget* parent)
    : QDialog(parent), m_pData(md), m_nKind(kind), m_nTransport(transport == 1 ? 1 : 2) {
    setWindowTitle(QStringLiteral("Setting"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto addEdit = [&](int id, int labelId, const char* label, int row) {
        auto* text = new QLabel(QString::fromLatin1(label));
        text->setObjectName(QString::number(labelId));
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::number(id));
        grid->addWidget(text, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    QLineEdit* address = addEdit(Address, 0, "IP Address", 0);
    address->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{1,3}(\\.[0-9]{1,3}){0,3}\\.?")), address));
    address->setPlaceholderText(QStringLiteral("192.168.0.10"));
    addEdit(Tx, TxLabel, "TX", 1)
        ->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{1,5}"), this));
    addEdit(Rx, RxLabel, "RX", 2)
        ->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{1,5}"), this));
    layout->addLayout(grid);
    AddButtons(this, layout, [this] { return SaveSettings(); });
    OnInitDialog();
}

QLineEdit* CTK_TcpUdpSetDlg::Edit(int id) const {
    return findChild<QLineEdit*>(QString::number(id));
}

QLabel* CTK_TcpUdpSetDlg::Label(int id) const {
    return findChild<QLabel*>(QString::number(id));
}

void CTK_TcpUdpSetDlg::OnInitDialog() {
    if (!m_pData)
        return;
    MatchData& md = *m_pData;
    const TTK_LinkCfg* cfg = LinkSettings::CfgOf(md, m_nKind);
    if (m_nTransport == 1) {
        Label(TxLabel)->setText(QStringLiteral("Port"));
        Label(RxLabel)->hide();
        Edit(Rx)->hide();
    }
    DWORD ip = 0;
    int tx = 0;
    if (m_nKind == 3) {
        ip = md.dwPreRegIp;
        tx = md.nPreRegPort;
    } else if (cfg) {
        ip = m_nTransport == 1 ? cfg->dwTcpIp : cfg->dwUdpIp;
        tx = m_nTransport == 1 ? cfg->nTcpPort : cfg->nUdpTx;
        Edit(Rx)->setText(QString::number(cfg->nUdpRx));
    }
    Edit(Address)->setText(QString::fromStdU16String(LinkSettings::IpText(ip)));
    Edit(Tx)->setText(QString::number(tx));
}

bool CTK_TcpUdpSetDlg::SaveSettings() {
    if (!m_pData)
        return true;
    MatchData& md = *m_pData;
    DWORD ip = 0;
    int tx = 0;
    int rx = 0;
    if (!LinkSettings::ParseIp(Edit(Address)->text().toStdU16String(), &ip)) {
        MessageBox(
            0,
            u"The IP address is not valid.\r\nPlease enter four numbers from 0 to 255, such as 192.168.0.10.",
            u"Information", MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!LinkSettings::ParsePort(Edit(Tx)->text().toStdU16String(), &tx) ||
        (m_nTransport == 2 && !LinkSettings::ParsePort(Edit(Rx)->text().toStdU16String(), &rx))) {
        MessageBox(0, u"A port must be a number from 0 to 65535.", u"Information", MB_OK | MB_ICONWARNING);
        return false;
    }
    if (m_nKind == 3) {
        md.dwPreRegIp = ip;
        md.nPreRegPort = tx;
        LinkSettings::SaveTcp(md, m_nKind);
        return true;
    }
    TTK_LinkCfg* cfg = LinkSettings::CfgOf(md, m_nKind);
    if (!cfg || m_nKind == 4)
        return true;
    if (m_nTransport == 1) {
        cfg->dwTcpIp = ip;
        cfg->nTcpPort = tx;
        LinkSettings::SaveTcp(md, m_nKind);
    } else {
        cfg->dwUdpIp = ip;
        cfg->nUdpTx = tx;
        cfg->nUdpRx = rx;
        LinkSettings::SaveUdp(md, m_nKind);
    }
    return true;
}

// ---- WT JSON API ----

CTK_JsonSetDlg::CTK_JsonSetDlg(MatchData* md, QWidget* parent) : QDialog(parent), m_pData(md) {
    setWindowTitle(QStringLiteral("Setting"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto edit = [](int id) {
        auto* e = new QLineEdit;
        e->setObjectName(QString::number(id));
        e->setMinimumWidth(320);
        return e;
    };
    form->addRow(QStringLiteral("Base URL"), edit(BaseUrl));
    form->addRow(QStringLiteral("X-API-Key"), edit(ApiKey));
    QStringList days;
    for (int day = 1; day <= 10; ++day)
        days << QString::number(day);
    auto* dayLabel = new QLabel(QStringLiteral("Day"));
    QComboBox* mat = Combo(Mat, days);
    form->addRow(dayLabel, mat);
    dayLabel->hide();
    mat->hide();
    layout->addLayout(form);
    AddButtons(this, layout, [this] {
        SaveSettings();
        return true;
    });
    OnInitDialog();
}

QWidget* CTK_JsonSetDlg::Item(int id) const {
    return findChild<QWidget*>(QString::number(id));
}

void CTK_JsonSetDlg::OnInitDialog() {
    if (!m_pData)
        return;
    qobject_cast<QLineEdit*>(Item(BaseUrl))->setText(QString::fromUtf16(m_pData->wszWTBaseUrl));
    qobject_cast<QLineEdit*>(Item(ApiKey))->setText(QString::fromUtf16(m_pData->wszWTApiKey));
    qobject_cast<QComboBox*>(Item(Mat))->setCurrentIndex(0);
}

void CTK_JsonSetDlg::SaveSettings() {
    if (!m_pData)
        return;
    CopyWide(qobject_cast<QLineEdit*>(Item(BaseUrl))->text(), m_pData->wszWTBaseUrl);
    WriteIniString(u"OVR", u"WT_Protocol_Baseurl", m_pData->wszWTBaseUrl, u"ExtItf.ini");
    CopyWide(qobject_cast<QLineEdit*>(Item(ApiKey))->text(), m_pData->wszWTApiKey);
    // Documents an earlier run left waiting go with the key typed now.
    WtApiPostQueue().SupplyKey(WtApiTarget::Of(*m_pData).apiKey);
    m_pData->nWTMat = qobject_cast<QComboBox*>(Item(Mat))->currentIndex() + 1;
}
