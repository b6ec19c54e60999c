#include "links/ExtItfWnd.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "links/LinkSetDlgs.h"
#include "links/LinkSettings.h"
#include "links/LinkSlots.h"
#include "links/MatchInput.h"
#include "links/Transport.h"
#include "links/WtConnectTest.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/TournamentDb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kVmsSupplier = 5;      // the match-input file: no link
constexpr int kDatabaseSupplier = 3; // the tournament results database: no link
constexpr int kRefreshMs = 250;

struct SystemRow {
    const char* name;   // in the questions
    int button, lamp;   // open button and lamp
    int supplier, comm; // lists; 0 for none
};
constexpr SystemRow kRows[kLinkSystems] = {
    {"OVR", CTK_ExtItfWnd::OvrOpen, CTK_ExtItfWnd::OvrLamp, CTK_ExtItfWnd::OvrSupplier,
     CTK_ExtItfWnd::OvrComm},
    {"IVR", CTK_ExtItfWnd::IvrOpen, CTK_ExtItfWnd::IvrLamp, CTK_ExtItfWnd::IvrSupplier,
     CTK_ExtItfWnd::IvrComm},
    {"TVG", CTK_ExtItfWnd::TvgOpen, CTK_ExtItfWnd::TvgLamp, CTK_ExtItfWnd::TvgSupplier,
     CTK_ExtItfWnd::TvgComm},
    {"OVR", CTK_ExtItfWnd::PreRegConnect, CTK_ExtItfWnd::PreRegLamp, 0, 0}, // asks the OVR questions
    {"Swiss Timing", CTK_ExtItfWnd::StOpen, CTK_ExtItfWnd::StLamp, 0, 0},
};

// The lamp pictures: a dark red light while the link is closed, an amber one while its connect is under
// way, a green one while it is open.
QPixmap LampPixmap(bool open, bool connecting) {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(open ? QColor(40, 200, 60) : connecting ? QColor(230, 160, 30) : QColor(120, 20, 20));
    painter.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    return pixmap;
}

int Ask(const std::string& text) {
    return MessageBox(0, QString::fromStdString(text).toStdU16String(), u"Information",
                      MB_YESNO | MB_ICONQUESTION);
}

// The open button's text for a link by its transport (the pre-registration link is always TCP, Swiss
// Timing always serial).
QString ButtonText(int commType, bool open) {
    if (commType == COMM_SERIAL)
        return open ? QStringLiteral("Close") : QStringLiteral("Open");
    return open ? QStringLiteral("Disconnect") : QStringLiteral("Connect");
}

} // namespace

CTK_ExtItfWnd::CTK_ExtItfWnd(MatchData* md, QWidget* parent) : QWidget(parent), m_pData(md) {
    Build();
    OnInitDialog();
    m_pRefresh = new QTimer(this);
    connect(m_pRefresh, &QTimer::timeout, this, &CTK_ExtItfWnd::ShowLinkStates);
    m_pRefresh->start(kRefreshMs);
}

CTK_ExtItfWnd::~CTK_ExtItfWnd() = default;

QWidget* CTK_ExtItfWnd::Item(int id) const {
    const auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second;
}

QComboBox* CTK_ExtItfWnd::List(int id) const {
    return qobject_cast<QComboBox*>(Item(id));
}

QPushButton* CTK_ExtItfWnd::Button(int id) const {
    return qobject_cast<QPushButton*>(Item(id));
}

void CTK_ExtItfWnd::Build() {
    auto add = [this](int id, QWidget* w) {
        w->setObjectName(QString::number(id));
        m_items[id] = w;
        return w;
    };
    auto combo = [&](int id, std::initializer_list<const char*> items) {
        auto* box = new QComboBox;
        for (const char* item : items)
            box->addItem(QString::fromLatin1(item));
        add(id, box);
        return box;
    };
    auto button = [&](int id, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text));
        add(id, b);
        return b;
    };
    auto lamp = [&](int id, const char* system) {
        auto* l = new QLabel;
        l->setAccessibleName(QStringLiteral("%1 link state").arg(QString::fromLatin1(system)));
        add(id, l);
        return l;
    };
    // The group titles in bold Arial of 15 pixels; the controls inside keep the page's font.
    auto group = [&](const char* title) {
        auto* g = new QGroupBox(QString::fromLatin1(title));
        g->setStyleSheet(QStringLiteral("QGroupBox { font: bold 15px \"Arial\"; }"));
        return g;
    };
    // A link group: supplier, communication type, then the setting and open buttons with the lamp.
    auto linkGroup = [&](const char* title, int supplierId, std::initializer_list<const char*> suppliers,
                         int commId, int settingId, int openId, int lampId, const char* system) {
        QGroupBox* g = group(title);
        auto* grid = new QGridLayout(g);
        auto* supplierLabel = new QLabel(QStringLiteral("Supplier"));
        auto* commLabel = new QLabel(QStringLiteral("Communication Type"));
        m_items[-supplierId] = supplierLabel; // labels follow their lists' enabling
        m_items[-commId] = commLabel;
        grid->addWidget(supplierLabel, 0, 0);
        grid->addWidget(combo(supplierId, suppliers), 0, 1, 1, 2);
        grid->addWidget(commLabel, 1, 0);
        grid->addWidget(combo(commId, {"Serial", "TCP/IP", "UDP"}), 1, 1, 1, 2);
        grid->addWidget(button(settingId, "Setting"), 2, 0);
        grid->addWidget(button(openId, "Open"), 2, 1);
        grid->addWidget(lamp(lampId, system), 2, 2, Qt::AlignCenter);
        return g;
    };

    auto* layout = new QGridLayout(this);
    layout->addWidget(
        linkGroup(" OVR", OvrSupplier,
                  {"Vordex", "SICC", "ATOS", "WOORI", "Justtool", "VMS", "Vordex-GENERIC", "SCEU", "WT"},
                  OvrComm, OvrSetting, OvrOpen, OvrLamp, "OVR"),
        0, 0);
    layout->addWidget(
        linkGroup(" IVR", IvrSupplier, {"Vordex", "KTA", "WT"}, IvrComm, IvrSetting, IvrOpen, IvrLamp, "IVR"),
        0, 1);
    layout->addWidget(
        linkGroup(" TVG", TvgSupplier, {"SICC", "ATOS", "WT"}, TvgComm, TvgSetting, TvgOpen, TvgLamp, "TVG"),
        1, 0);

    // Pre-registration, the WT protocol and the match-information switch.
    auto* other = new QGroupBox;
    auto* otherGrid = new QGridLayout(other);
    auto* preReg = new QCheckBox(QStringLiteral(" Pre-Registration"));
    otherGrid->addWidget(add(PreRegCheck, preReg), 0, 0);
    otherGrid->addWidget(button(PreRegSetting, "Setting"), 0, 1);
    otherGrid->addWidget(button(PreRegConnect, "Connect"), 0, 2);
    otherGrid->addWidget(lamp(PreRegLamp, "Pre-registration"), 0, 3, Qt::AlignCenter);
    otherGrid->addWidget(add(UseWtCheck, new QCheckBox(QStringLiteral(" Use WT Protocol"))), 1, 0);
    otherGrid->addWidget(button(WtSetting, "Setting"), 1, 1);
    otherGrid->addWidget(button(ConnectTest, "Connect Test"), 1, 2);
    otherGrid->addWidget(add(OnlyMatchInfoCheck, new QCheckBox(QStringLiteral(" Only Match Info."))), 2, 0);
    layout->addWidget(other, 2, 0, 1, 2);

    // The LED group and the Swiss Timing group exist hidden.
    QGroupBox* led = group(" LED");
    auto* ledGrid = new QGridLayout(led);
    ledGrid->addWidget(button(LedOff, "OFF"), 0, 0);
    ledGrid->addWidget(button(LedOn, "ON"), 0, 1);
    const char* ledLabels[] = {"Number of Blink", "Duration Time", "Rest Time"};
    const int ledIds[] = {LedBlinks, LedDuration, LedRest};
    for (int i = 0; i < 3; ++i) {
        ledGrid->addWidget(new QLabel(QString::fromLatin1(ledLabels[i])), i + 1, 0);
        ledGrid->addWidget(add(ledIds[i], new QLineEdit), i + 1, 1);
        if (i > 0)
            ledGrid->addWidget(new QLabel(QStringLiteral("[msec]")), i + 1, 2);
    }
    ledGrid->addWidget(button(LedSet, "Set"), 4, 1);
    led->hide();
    layout->addWidget(led, 1, 1);

    QGroupBox* st = group(" SWISS TIMING");
    auto* stGrid = new QGridLayout(st);
    stGrid->addWidget(button(StSetting, "Setting"), 0, 0);
    stGrid->addWidget(button(StOpen, "Open"), 0, 1);
    stGrid->addWidget(lamp(StLamp, "Swiss Timing"), 0, 2, Qt::AlignCenter);
    st->hide();
    layout->addWidget(st, 3, 0);
    layout->setRowStretch(4, 1);

    connect(Button(OvrOpen), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedOvrOpen);
    connect(Button(IvrOpen), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedIvrOpen);
    connect(Button(TvgOpen), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedTvgOpen);
    connect(Button(PreRegConnect), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedPreRegConnect);
    connect(Button(StOpen), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedStOpen);
    connect(Button(LedSet), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedLedSet);
    connect(Button(ConnectTest), &QPushButton::clicked, this, &CTK_ExtItfWnd::OnClickedConnectTest);
    connect(preReg, &QCheckBox::clicked, this, &CTK_ExtItfWnd::OnClickedPreReg);
    connect(qobject_cast<QCheckBox*>(Item(UseWtCheck)), &QCheckBox::clicked, this,
            &CTK_ExtItfWnd::OnClickedUseWt);
    connect(qobject_cast<QCheckBox*>(Item(OnlyMatchInfoCheck)), &QCheckBox::clicked, this,
            &CTK_ExtItfWnd::OnClickedOnlyMatchInfo);
    for (int id : {OvrSetting, IvrSetting, TvgSetting, PreRegSetting, StSetting, WtSetting})
        connect(Button(id), &QPushButton::clicked, this, [this, id] { OnClickedSetting(id); });
    for (int system : {LINK_OVR, LINK_IVR, LINK_TVG})
        connect(List(kRows[system].comm), &QComboBox::activated, this,
                [this, system] { OnCommTypeChanged(system); });
}

void CTK_ExtItfWnd::OnInitDialog() {
    if (!m_pData)
        return;
    MatchData& md = *m_pData;
    qobject_cast<QCheckBox*>(Item(UseWtCheck))->setChecked(md.bUseWTProtocol != 0);
    List(OvrSupplier)->setCurrentIndex(md.nOvrSupplier);
    List(OvrComm)->setCurrentIndex(md.nOvrCommType);
    List(IvrSupplier)->setCurrentIndex(md.nIvrSupplier);
    List(IvrComm)->setCurrentIndex(md.nIvrCommType);
    List(TvgSupplier)->setCurrentIndex(md.nTvgSupplier);
    List(TvgComm)->setCurrentIndex(md.nTvgCommType);
    qobject_cast<QCheckBox*>(Item(OnlyMatchInfoCheck))->setChecked(md.bOnlyMatchInfo != 0);
    // The pre-registration box shows whether pre-registration is in use.
    qobject_cast<QCheckBox*>(Item(PreRegCheck))->setChecked(md.bUsePreReg != 0);
    qobject_cast<QLineEdit*>(Item(LedBlinks))->setText(QString::number(md.nLedNumberOfBlink));
    qobject_cast<QLineEdit*>(Item(LedDuration))->setText(QString::number(md.nLedDurationTime));
    qobject_cast<QLineEdit*>(Item(LedRest))->setText(QString::number(md.nLedRestTime));
    LinkSettings::LoadExtItf(md);
    ShowLinkStates();
}

void CTK_ExtItfWnd::SetLamp(int id, bool open, bool connecting) {
    auto* lamp = qobject_cast<QLabel*>(Item(id));
    lamp->setPixmap(LampPixmap(open, connecting));
    const QString text = lamp->accessibleName() + (open         ? QStringLiteral(": open")
                                                   : connecting ? QStringLiteral(": connecting")
                                                                : QStringLiteral(": closed"));
    lamp->setToolTip(text);
}

void CTK_ExtItfWnd::ShowLinkStates() {
    if (!m_pData)
        return;
    MatchData& md = *m_pData;
    const bool wt = md.bUseWTProtocol != 0;
    const bool preRegUp = SlotUp(SlotOf(md, LINK_PREREG)) || SlotConnecting(SlotOf(md, LINK_PREREG));
    for (int system = 0; system < kLinkSystems; ++system) {
        const SystemRow& row = kRows[system];
        const LinkSlot slot = SlotOf(md, system);
        bool up = SlotUp(slot);
        int comm = slot.commType;
        if (system <= LINK_TVG)
            comm = List(row.comm)->currentIndex();
        if (system == LINK_OVR && (md.nOvrSupplier == kVmsSupplier || md.nOvrSupplier == kDatabaseSupplier))
            up = md.bOvrConnected != 0; // no link object: the flag is the state
        const bool connecting = SlotConnecting(slot);
        if (!(system == LINK_OVR && md.nOvrSupplier == kVmsSupplier))
            Button(row.button)->setText(connecting ? QStringLiteral("Cancel") : ButtonText(comm, up));
        SetLamp(row.lamp, up, connecting);
        up = up || connecting; // the settings of a link being connected stay as they are
        if (system == LINK_OVR) {
            // The OVR transport stays while either OVR or pre-registration is open.
            List(OvrComm)->setEnabled(!up && !preRegUp && !wt);
            List(OvrSupplier)->setEnabled(!up && !wt);
        } else if (system <= LINK_TVG) {
            List(row.supplier)->setEnabled(!up);
            List(row.comm)->setEnabled(!up);
        }
    }
    const bool usePreReg = qobject_cast<QCheckBox*>(Item(PreRegCheck))->isChecked();
    Button(PreRegSetting)->setEnabled(usePreReg);
    Button(PreRegConnect)->setEnabled(usePreReg || preRegUp); // an open link can always be closed
    ShowWtControls();
}

void CTK_ExtItfWnd::ShowWtControls() {
    const bool wt = qobject_cast<QCheckBox*>(Item(UseWtCheck))->isChecked();
    // A test under way, this page's or one a closed page left, is not started again until it has ended.
    const bool testing = m_nConnectTest != 0 || WtApiConnectTest().Running();
    Button(WtSetting)->setEnabled(wt);
    Button(ConnectTest)->setEnabled(wt && !testing);
    Button(ConnectTest)->setText(testing ? QStringLiteral("Testing...") : QStringLiteral("Connect Test"));
    Item(UseWtCheck)->setEnabled(!testing); // the result applies to the WT protocol
    for (int id : {-int{OvrSupplier}, -int{OvrComm}, int{OvrSetting}, int{OvrOpen}, int{OvrLamp}})
        Item(id)->setEnabled(!wt);
    if (wt) {
        List(OvrSupplier)->setEnabled(false);
        List(OvrComm)->setEnabled(false);
    }
}

void CTK_ExtItfWnd::CloseLink(int system, bool tellPeer) {
    MatchData& md = *m_pData;
    const LinkSlot slot = SlotOf(md, system);
    const int comm = CommTypeOf(*slot.handle);
    switch (system) {
    case LINK_OVR:
        if (tellPeer && md.nOvrSupplier == 0 && (comm == COMM_TCP || comm == COMM_UDP))
            LinkSettings::SendKillMessage(md);
        break;
    case LINK_IVR:
    case LINK_TVG:
        if (comm == COMM_TCP || comm == COMM_UDP)
            SendMessage(g_hMainWnd, UM_EXT_LINK_CONTROL, system, 0);
        break;
    case LINK_ST:
        SendMessage(g_hMainWnd, UM_EXT_LINK_CONTROL, system, 0); // stops its timer
        break;
    default:
        break;
    }
    CloseSlot(slot);
}

void CTK_ExtItfWnd::OpenOrClose(int system) {
    MatchData& md = *m_pData;
    const std::string name = kRows[system].name;
    const LinkSlot slot = SlotOf(md, system);
    if (SlotConnecting(slot)) {
        CloseLink(system, false); // the operator gives up waiting for the peer
    } else if (SlotUp(slot)) {
        if (Ask("Are you sure to disconnect from the " + name + " system?") == IDYES)
            CloseLink(system, true);
    } else {
        const LPARAM open = system == LINK_OVR || system == LINK_PREREG ? 0 : 1;
        SendMessage(g_hMainWnd, UM_EXT_LINK_CONTROL, system, open);
        // "No" closes whatever was opened, a connect still under way included.
        if (Ask("Are you sure to connect to the " + name + " system?") == IDNO && *slot.handle)
            CloseLink(system, false);
    }
    ShowLinkStates();
}

void CTK_ExtItfWnd::OnClickedOvrOpen() {
    if (!m_pData)
        return;
    MatchData& md = *m_pData;
    md.nOvrCommType = List(OvrComm)->currentIndex();
    md.nOvrSupplier = List(OvrSupplier)->currentIndex();
    if (md.nOvrSupplier == kVmsSupplier) {
        if (md.bOvrConnected) {
            const bool close = Ask("Are you sure to disconnect from the OVR system?") == IDYES;
            md.bOvrConnected = close ? 0 : 1;
            g_MatchInput.bValid = close ? 0 : 1;
        } else {
            md.bOvrConnected = 1;
            g_MatchInput.bValid = 1;
        }
        ShowLinkStates();
        return;
    }
    if (md.nOvrSupplier == kDatabaseSupplier) {
        if (md.bOvrConnected) {
            CloseTournamentDb();
            md.bOvrConnected = 0;
        } else {
            SendMessage(g_hMainWnd, UM_EXT_LINK_CONTROL, LINK_OVR, 0); // connects the database
        }
        ShowLinkStates();
        return;
    }
    OpenOrClose(LINK_OVR);
}

void CTK_ExtItfWnd::OnClickedIvrOpen() {
    if (!m_pData)
        return;
    m_pData->nIvrCommType = List(IvrComm)->currentIndex();
    m_pData->nIvrSupplier = List(IvrSupplier)->currentIndex();
    OpenOrClose(LINK_IVR);
}

void CTK_ExtItfWnd::OnClickedTvgOpen() {
    if (!m_pData)
        return;
    m_pData->nTvgCommType = List(TvgComm)->currentIndex();
    m_pData->nTvgSupplier = List(TvgSupplier)->currentIndex();
    OpenOrClose(LINK_TVG);
}

void CTK_ExtItfWnd::OnClickedPreRegConnect() {
    if (m_pData)
        OpenOrClose(LINK_PREREG);
}

void CTK_ExtItfWnd::OnClickedStOpen() {
    if (m_pData)
        OpenOrClose(LINK_ST);
}

void CTK_ExtItfWnd::OnCommTypeChanged(int) {
    ShowLinkStates();
}

void CTK_ExtItfWnd::OnClickedLedSet() {
    if (!m_pData)
        return;
    auto value = [this](int id) { return qobject_cast<QLineEdit*>(Item(id))->text().trimmed().toInt(); };
    LinkSettings::ApplyLed(*m_pData, value(LedBlinks), value(LedDuration), value(LedRest));
}

void CTK_ExtItfWnd::OnClickedPreReg() {
    if (m_pData)
        m_pData->bUsePreReg = qobject_cast<QCheckBox*>(Item(PreRegCheck))->isChecked() ? 1 : 0;
    ShowLinkStates();
}

void CTK_ExtItfWnd::OnClickedUseWt() {
    if (!m_pData)
        return;
    if (qobject_cast<QCheckBox*>(Item(UseWtCheck))->isChecked()) {
        m_pData->bUseWTProtocol = 1;
        m_pData->nOvrSupplier = 8;
    } else {
        m_pData->bUseWTProtocol = 0;
    }
    ShowLinkStates();
}

void CTK_ExtItfWnd::OnClickedOnlyMatchInfo() {
    if (m_pData)
        m_pData->bOnlyMatchInfo = qobject_cast<QCheckBox*>(Item(OnlyMatchInfoCheck))->isChecked() ? 1 : 0;
}

void CTK_ExtItfWnd::OnClickedConnectTest() {
    if (!m_pData || m_nConnectTest != 0)
        return;
    WtConnectTest& test = WtApiConnectTest();
    m_nConnectTest = test.Start(WtApiTarget::Of(*m_pData), GetSafeHwnd(), kConnectTested);
    if (m_nConnectTest == 0)
        DebugPrintf("WT JSON API: no connect test started: %s",
                    test.Running() ? "another one is under way" : "no worker");
    ShowLinkStates();
}

LRESULT CTK_ExtItfWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kConnectTested)
        OnConnectTested(static_cast<int>(wParam), lParam);
    return 0;
}

void CTK_ExtItfWnd::OnConnectTested(int result, LPARAM test) {
    m_nConnectTest = 0;
    const std::optional<std::string> reply = WtApiConnectTest().TakeReply(test);
    if (!reply || !m_pData) {
        ShowLinkStates();
        return;
    }
    MatchData& md = *m_pData;
    const LinkSlot slot = SlotOf(md, LINK_OVR);
    if (result == 0) {
        // The WT JSON API has no link: the slot holds the marker that no transport takes.
        if (*slot.handle != CommWtApiMarker())
            CloseSlot(slot);
        md.pOvrLink = CommWtApiMarker();
        md.bOvrConnected = 1;
        md.nOvrSupplier = 8;
    } else {
        CloseSlot(slot);
    }
    ShowLinkStates();
    // Last: the page may be gone when the box closes.
    if (!reply->empty())
        MessageBox(0, QString::fromStdString(*reply).toStdU16String(), u"Information", MB_OK);
}

void CTK_ExtItfWnd::OnClickedSetting(int id) {
    if (!m_pData)
        return;
    auto linkDialog = [this](int system) -> QWidget* {
        const int comm = List(kRows[system].comm)->currentIndex();
        if (comm == COMM_SERIAL)
            return new CTK_SerialSetDlg(m_pData, system, this);
        return new CTK_TcpUdpSetDlg(m_pData, system, comm == COMM_TCP ? 1 : 2, this);
    };
    QWidget* dialog = nullptr;
    switch (id) {
    case OvrSetting:
        dialog = linkDialog(LINK_OVR);
        break;
    case IvrSetting:
        dialog = linkDialog(LINK_IVR);
        break;
    case TvgSetting:
        dialog = linkDialog(LINK_TVG);
        break;
    case PreRegSetting:
        dialog = new CTK_TcpUdpSetDlg(m_pData, LINK_PREREG, 1, this);
        break;
    case StSetting:
        dialog = new CTK_SerialSetDlg(m_pData, LINK_ST, this);
        break;
    case WtSetting:
        dialog = new CTK_JsonSetDlg(m_pData, this);
        break;
    default:
        return;
    }
    RunDialog(dialog);
    delete dialog;
}

void CTK_ExtItfWnd::RunDialog(QWidget* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog))
        d->exec();
}

void CTK_ExtItfWnd::SaveSettings() {
    if (!m_pData)
        return;
    auto value = [this](int id) { return qobject_cast<QLineEdit*>(Item(id))->text().trimmed().toInt(); };
    const LinkSettings::RuleLinks links{
        qobject_cast<QCheckBox*>(Item(UseWtCheck))->isChecked() ? 1 : 0,
        List(OvrSupplier)->currentIndex(),
        List(OvrComm)->currentIndex(),
        List(IvrSupplier)->currentIndex(),
        List(IvrComm)->currentIndex(),
        List(TvgSupplier)->currentIndex(),
        List(TvgComm)->currentIndex(),
        value(LedBlinks),
        value(LedDuration),
        value(LedRest),
    };
    if (!LinkSettings::SaveRuleLinks(*m_pData, links))
        DebugPrintf("the link settings could not all be written to Rule.ini");
}
