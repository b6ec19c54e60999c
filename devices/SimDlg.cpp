#include "devices/SimDlg.h"

#include "app/Messages.h"
#include "devices/DeviceReportText.h"
#include "platform/WindowMessages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

extern HWND g_hMainWnd;

namespace {

constexpr unsigned kKick = 0x12;
constexpr unsigned kPunch = 0x31;
constexpr int kMaxPower = 65535; // the devices report the force in two bytes
// Entries kept in the list of what was sent.
constexpr int kSentKept = 200;

} // namespace

const CTK_SimDlg::ProtectorButton CTK_SimDlg::kProtectorButtons[6] = {
    {1025, "Trunk", UM_TRUNK_HIT, 1, IDC_TRUNK_POWER, kKick},
    {1026, "Head", UM_HEAD_HIT, 1, IDC_HEAD_POWER, kKick},
    {1034, "Punch", UM_TRUNK_HIT, 1, IDC_TRUNK_POWER, kPunch},
    {1027, "Trunk", UM_TRUNK_HIT, 0, IDC_TRUNK_POWER, kKick},
    {1028, "Head", UM_HEAD_HIT, 0, IDC_HEAD_POWER, kKick},
    {1035, "Punch", UM_TRUNK_HIT, 0, IDC_TRUNK_POWER, kPunch},
};

const CTK_SimDlg::JudgeButton CTK_SimDlg::kJudgeButtons[10] = {
    {"Blue T.", 3, 0, {1003, 1009, 1015}}, {"Red T.", 0, 7, {1000, 1006, 1012}},
    {"Blue M.", 2, 0, {1004, 1010, 1016}}, {"Red M.", 0, 6, {1001, 1007, 1013}},
    {"Blue B.", 1, 0, {1005, 1011, 1017}}, {"Red B.", 0, 5, {1002, 1008, 1014}},
    {"Blue TB", 4, 0, {1019, 1021, 1023}}, {"Red TB", 0, 8, {1018, 1020, 1022}},
    {"Blue TM", 9, 0, {1029, 1031, 1033}}, {"Red TM", 0, 10, {1024, 1030, 1032}},
};

CTK_SimDlg::CTK_SimDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Simulation"));
    auto* layout = new QVBoxLayout(this);

    auto* powers = new QHBoxLayout;
    m_trunkPower = new QLineEdit(QStringLiteral("25"), this);
    m_headPower = new QLineEdit(QStringLiteral("1"), this);
    for (QLineEdit* edit : {m_trunkPower, m_headPower}) {
        edit->setMaximumWidth(80);
        powers->addWidget(new QLabel(edit == m_trunkPower ? QStringLiteral("Trunk Power Level :")
                                                          : QStringLiteral("Head Power Level :"),
                                     this));
        powers->addWidget(edit);
        powers->addSpacing(16);
    }
    powers->addStretch();
    layout->addLayout(powers);

    // A hit on a Chung (blue) protector scores for Hong: wParam 1 is the red side's hit, as on the judges'
    // buttons, which name the side they score for.
    auto* protectors = new QHBoxLayout;
    for (const WPARAM side : {WPARAM{0}, WPARAM{1}}) {
        auto* group = new QGroupBox(side == 0 ? QStringLiteral(" BLUE ") : QStringLiteral(" RED "), this);
        auto* row = new QHBoxLayout(group);
        for (const ProtectorButton& b : kProtectorButtons) {
            if (b.side != side)
                continue;
            auto* button = new QPushButton(QString::fromLatin1(b.caption), group);
            m_buttons[b.id] = button;
            row->addWidget(button);
            connect(button, &QPushButton::clicked, this, [this, &b] { SendProtector(b); });
        }
        protectors->addWidget(group);
    }
    layout->addLayout(protectors);

    auto* judges = new QHBoxLayout;
    for (int judge = 0; judge < 3; ++judge) {
        auto* group = new QGroupBox(QStringLiteral(" Judge %1 ").arg(judge + 1), this);
        auto* grid = new QGridLayout(group);
        for (int i = 0; i < 10; ++i) {
            const JudgeButton& b = kJudgeButtons[i];
            auto* button = new QPushButton(QString::fromLatin1(b.caption), group);
            m_buttons[b.id[judge]] = button;
            grid->addWidget(button, i / 2, i % 2);
            connect(button, &QPushButton::clicked, this, [this, judge, &b] { SendJudge(judge, b); });
        }
        judges->addWidget(group);
    }
    layout->addLayout(judges);

    m_sent = new QListWidget(this);
    m_sent->setAccessibleName(QStringLiteral("Messages sent to the operator screen"));
    m_sent->setMinimumHeight(100);
    layout->addWidget(m_sent);
}

QPushButton* CTK_SimDlg::Button(int id) const {
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QLineEdit* CTK_SimDlg::Edit(int id) const {
    return id == IDC_TRUNK_POWER ? m_trunkPower : id == IDC_HEAD_POWER ? m_headPower : nullptr;
}

int CTK_SimDlg::PowerLevel(int editId) const {
    const QLineEdit* edit = Edit(editId);
    if (!edit)
        return 0;
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok && value >= 0 && value <= kMaxPower ? value : 0;
}

void CTK_SimDlg::SendProtector(const ProtectorButton& b) {
    char text[kDeviceReportTextSize];
    FormatValidHitText(text, sizeof text, PowerLevel(b.powerEdit), false, b.validity);
    Send(b.message, b.side, text,
         QStringLiteral("%1 %2").arg(b.side == 1 ? "Red" : "Blue", QString::fromLatin1(b.caption)));
}

void CTK_SimDlg::SendJudge(int judge, const JudgeButton& b) {
    char text[kDeviceReportTextSize];
    FormatJudgeText(text, sizeof text, b.chungCode, b.hongCode, false);
    Send(UM_JUDGE1_INPUT + static_cast<UINT>(judge), 0, text,
         QStringLiteral("Judge %1 %2").arg(judge + 1).arg(QString::fromLatin1(b.caption)));
}

void CTK_SimDlg::Send(UINT message, WPARAM wParam, const char* text, const QString& what) {
    SendMessage(g_hMainWnd, message, wParam, reinterpret_cast<LPARAM>(text));
    m_sent->insertItem(0, what + QStringLiteral(": ") + QString::fromLatin1(text));
    while (m_sent->count() > kSentKept)
        delete m_sent->takeItem(m_sent->count() - 1);
}
