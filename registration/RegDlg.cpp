// The registration dialog's window: controls, placement, colours, the messages it receives, dragging and
// the keys it swallows.
#include "registration/RegDlg.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/TextConvert.h"
#include "app/WeightDivisions.h"
#include "controls/MaskedEdit.h"
#include "devices/DevListDlg.h"
#include "links/MatchInput.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "registration/ContestList.h"
#include "registration/RegDlgHandle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int kDeleteCommand = 32772;
constexpr int kLogLimit = 100;

// A pair of arrows beside an edit: up steps the value up, down steps it down.
QWidget* SpinArrows(QWidget* parent, const std::function<void(bool)>& step) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const bool up : {true, false}) {
        auto* arrow = new QToolButton(box);
        arrow->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        arrow->setFixedSize(18, 12);
        arrow->setAccessibleName(up ? QStringLiteral("Up") : QStringLiteral("Down"));
        arrow->setToolTip(up ? QStringLiteral("Up") : QStringLiteral("Down"));
        QObject::connect(arrow, &QToolButton::clicked, box, [step, up] { step(up); });
        layout->addWidget(arrow);
    }
    return box;
}

void Paint(QWidget* w, const QColor& background, const QColor& text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

template <typename T> T* CTK_RegDlg::Add(int id, T* widget) {
    m_items[id] = widget;
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setAutoDefault(false);
    return widget;
}

CTK_RegDlg::CTK_RegDlg(QWidget* parent) : CTK_RegDlg(parent, false) {}

CTK_RegDlg::CTK_RegDlg(QWidget* parent, bool team)
    : QDialog(parent), m_pMatchData(g_pMatchData), m_bTeam(team) {
    setWindowTitle(QStringLiteral("Registration"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    InitControls();
    // OnInitDialog
    g_hRegDlg = GetSafeHwnd();
    PlaceOnScreen(0);
    m_edtTime->SetMask(team ? QStringLiteral("# : ##") : QStringLiteral("# : ## . ##"));
    m_list->SetupColumns(false);
    SetRoundControlsEnabled(false);
    InitWeightCombos();
    if (m_pMatchData) {
        for (const int id : {1306, 1307}) {
            auto* combo = static_cast<QComboBox*>(GetDlgItem(id));
            for (int i = 0; i < kNationRows && m_pMatchData->aNation[i].wszField[2][0]; ++i)
                combo->addItem(QString::fromUtf16(m_pMatchData->aNation[i].wszField[2]));
            combo->setCurrentIndex(0);
        }
    }
    ApplyPssType();
    GetDlgItem(1049)->setEnabled(false);
    if (g_MatchInput.bValid) {
        // A match-input file is in use: the button reads the next file.
        GetDlgItem(1290)->setEnabled(true);
        SetDlgItemText(1290, QStringLiteral("Load VM File"));
    } else {
        GetDlgItem(1290)->setEnabled(LinkUp() || PreRegUp());
        if (!team && m_pMatchData && m_pMatchData->nOvrSupplier == 2)
            SetDlgItemText(1055, QStringLiteral(" Prev. Game"));
    }
    ShowDeviceState();
    if (m_pMatchData) {
        MatchData& md = *m_pMatchData;
        SetDlgItemText(1048, QString::number(md.nLevelBody));
        SetDlgItemText(1056, QString::number(team ? md.nLevelHead : md.nLevelPunch));
        if (team) {
            SetDlgItemText(1080, QString::number(md.nLevelPunch));
        } else {
            GetDlgItem(1291)->setEnabled(false);
            auto* useList = static_cast<QCheckBox*>(GetDlgItem(1053));
            if (!md.bReceiverMajorNew) {
                md.bUseDeviceList = 0;
                useList->setChecked(false);
                useList->hide();
                GetDlgItem(1291)->hide();
            } else {
                useList->setChecked(md.bUseDeviceList);
                GetDlgItem(1291)->setEnabled(md.bUseDeviceList);
            }
        }
        GetDlgItem(1402)->setVisible(md.nOvrSupplier == 3 && LinkUp());
    }
    ShowMatchRecord(0);
    InitRoundTime();
    if (!team)
        ReadDeviceListEntries();
    if (TournamentMode()) {
        LoadTournamentMatch(1);
        ShowMatchRecord(0);
    } else {
        LoadContestList();
    }
}
CTK_RegDlg::~CTK_RegDlg() {
    HWND mine = GetSafeHwnd();
    DestroyWindow();
    g_hRegDlg.compare_exchange_strong(mine, 0); // senders find no dialog from now on
    SendMessage(g_hMainWnd, UM_REGDLG_DESTROYED, 0, 0);
}

void CTK_RegDlg::InitControls() {
    // The panel takes the wide window's whole size, so no strip of the window is left without controls
    // (the team window is taller); the narrow window shows its left part.
    auto* content = new QWidget(this);
    content->setFixedSize(900, Registration::DialogHeight(m_bTeam));
    auto* top = new QHBoxLayout(content);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    auto* leftBox = new QWidget(content);
    // The team's member grid needs more of the wide window.
    leftBox->setFixedWidth(m_bTeam ? 520 : 575);
    leftBox->setLayout(left);
    top->addWidget(leftBox);
    top->addLayout(right);
    top->setContentsMargins(8, 8, 8, 8);

    // The loaded match.
    auto* loaded = new QGroupBox(QStringLiteral("Loaded match"), content);
    auto* lg = new QGridLayout(loaded);
    lg->addWidget(new QLabel(QStringLiteral("No."), loaded), 0, 0);
    lg->addWidget(Add(1280, new QLabel(loaded)), 0, 1);
    lg->addWidget(Add(1312, new QLabel(QStringLiteral("Chung Player"), loaded)), 1, 0);
    lg->addWidget(Add(1008, new QLabel(loaded)), 1, 1);
    lg->addWidget(Add(1282, new QLabel(loaded)), 1, 2);
    lg->addWidget(Add(1313, new QLabel(QStringLiteral("Hong Player"), loaded)), 2, 0);
    lg->addWidget(Add(1009, new QLabel(loaded)), 2, 1);
    lg->addWidget(Add(1284, new QLabel(loaded)), 2, 2);
    left->addWidget(loaded);

    m_list = Add(1279, new CMy_ListCtrl(m_bTeam, content));
    m_list->setMinimumHeight(220);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CTK_RegDlg::OnListContextMenu);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { OnContestListDblClk(); });
    left->addWidget(m_list, 1);

    // The contest form.
    auto* form = new QGroupBox(QStringLiteral("Contest"), content);
    auto* fg = new QGridLayout(form);
    fg->addWidget(new QLabel(QStringLiteral("No."), form), 0, 0);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(Add(1050, new QLineEdit(form)));
    numberRow->addWidget(Add(1051, SpinArrows(form, [this](bool up) { OnSpinContestNumber(up); })));
    fg->addLayout(numberRow, 0, 1);
    fg->addWidget(new QLabel(QStringLiteral("Class"), form), 0, 2);
    fg->addWidget(Add(1296, new QComboBox(form)), 0, 3);
    fg->addWidget(new QLabel(QStringLiteral("Gender"), form), 1, 0);
    auto* gender = Add(1298, new QComboBox(form));
    gender->addItems({QStringLiteral("Male"), QStringLiteral("Female")});
    if (m_bTeam)
        gender->addItem(QStringLiteral("Mixed"));
    fg->addWidget(gender, 1, 1);
    auto* weight = Add(1299, new QComboBox(form));
    if (m_bTeam) {
        weight->hide(); // a team contest has no weight class
    } else {
        fg->addWidget(new QLabel(QStringLiteral("Weight"), form), 1, 2);
        fg->addWidget(weight, 1, 3);
    }
    fg->addWidget(new QLabel(QStringLiteral("Phase"), form), 2, 0);
    auto* phase = Add(1297, new QComboBox(form));
    for (const std::u16string& name : Registration::PhaseNames())
        phase->addItem(QString::fromStdU16String(name));
    fg->addWidget(phase, 2, 1);
    fg->addWidget(Add(1300, new QLabel(QStringLiteral(" Chung Information"), form)), 3, 0, 1, 4);
    fg->addWidget(new QLabel(QStringLiteral("Name"), form), 4, 0);
    fg->addWidget(Add(1302, new QLineEdit(form)), 4, 1);
    fg->addWidget(Add(1306, new QComboBox(form)), 4, 2);
    fg->addWidget(Add(1303, new QLineEdit(form)), 4, 3);
    fg->addWidget(Add(1301, new QLabel(QStringLiteral(" Hong Information"), form)), 5, 0, 1, 4);
    fg->addWidget(new QLabel(QStringLiteral("Name"), form), 6, 0);
    fg->addWidget(Add(1304, new QLineEdit(form)), 6, 1);
    fg->addWidget(Add(1307, new QComboBox(form)), 6, 2);
    fg->addWidget(Add(1305, new QLineEdit(form)), 6, 3);
    static_cast<QLineEdit*>(GetDlgItem(1303))->setPlaceholderText(QStringLiteral("Team"));
    static_cast<QLineEdit*>(GetDlgItem(1305))->setPlaceholderText(QStringLiteral("Team"));
    auto* save = Add(1310, new QPushButton(QStringLiteral("Registration"), form));
    fg->addWidget(save, 7, 3);
    left->addWidget(form);
    connect(save, &QPushButton::clicked, this, &CTK_RegDlg::OnRegistration);
    connect(static_cast<QComboBox*>(GetDlgItem(1296)), &QComboBox::activated, this,
            [this] { RefillWeightCombo(); });
    connect(gender, &QComboBox::activated, this, [this] { RefillWeightCombo(); });

    // Match import and the start time.
    auto* import = new QHBoxLayout;
    auto* loadGame = Add(1055, new QCheckBox(QStringLiteral(" Load Game : No."), content));
    import->addWidget(loadGame);
    import->addWidget(Add(1049, new QLineEdit(content)));
    auto* loadOvr = Add(1290, new QPushButton(QStringLiteral("Load OVR Match"), content));
    import->addWidget(loadOvr);
    auto* playing = Add(1402, new QCheckBox(QStringLiteral(" Playing Game"), content));
    import->addWidget(playing);
    left->addLayout(import);
    connect(loadGame, &QCheckBox::clicked, this, [this](bool on) {
        const bool prevGame = !m_bTeam && m_pMatchData && m_pMatchData->nOvrSupplier == 2 && LinkUp();
        GetDlgItem(1049)->setEnabled(on && !prevGame);
    });
    connect(playing, &QCheckBox::clicked, this, [this, playing](bool now) {
        const char16_t* question = now ? u"Do you want load playing game?" : u"Do you want load next game?";
        if (MessageBox(GetSafeHwnd(), question, u"Information", MB_YESNO | MB_ICONQUESTION) != IDYES) {
            playing->setChecked(!now);
            return;
        }
        LoadTournamentMatch(now ? 0 : 1);
    });
    connect(loadOvr, &QPushButton::clicked, this, &CTK_RegDlg::OnLoadOvrMatch);

    auto* start = new QHBoxLayout;
    auto* startOption = Add(1057, new QCheckBox(QStringLiteral(" Start Option"), content));
    start->addWidget(startOption);
    start->addWidget(Add(1043, new QComboBox(content)));
    m_edtTime = Add(1052, new CMaskedEdit(content, 1052));
    m_edtTime->setFixedWidth(110);
    start->addWidget(m_edtTime);
    start->addWidget(Add(1054, SpinArrows(content, [this](bool up) { OnSpinTime(up); })));
    auto* applyTime = Add(1294, new QPushButton(QStringLiteral("Apply"), content));
    auto* resetTime = Add(1295, new QPushButton(QStringLiteral("Reset"), content));
    start->addWidget(applyTime);
    start->addWidget(resetTime);
    left->addLayout(start);
    connect(startOption, &QCheckBox::clicked, this, &CTK_RegDlg::OnStartOption);
    connect(applyTime, &QPushButton::clicked, this, &CTK_RegDlg::OnApplyRoundTime);
    connect(resetTime, &QPushButton::clicked, this, &CTK_RegDlg::OnResetRoundTime);

    auto* bottom = new QHBoxLayout;
    auto* wide = Add(1063, new QCheckBox(QStringLiteral("||"), content));
    wide->setToolTip(QStringLiteral("Show or hide the devices"));
    bottom->addWidget(wide);
    bottom->addStretch(1);
    auto* close = Add(1, new QPushButton(QStringLiteral("Close"), content));
    bottom->addWidget(close);
    left->addLayout(bottom);
    connect(wide, &QCheckBox::clicked, this, &CTK_RegDlg::OnWide);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    if (m_bTeam)
        InitTeamDevicePanel(content, right);
    else
        InitDevicePanel(content, right);
    InitJudgePanel(content, right);
    right->addStretch(1);

    Paint(GetDlgItem(1312), QColor(0, 0, 255), Qt::white);
    Paint(GetDlgItem(1300), QColor(0, 0, 255), Qt::white);
    Paint(GetDlgItem(1313), QColor(255, 0, 0), Qt::white);
    Paint(GetDlgItem(1301), QColor(255, 0, 0), Qt::white);
}

void CTK_RegDlg::InitDevicePanel(QWidget* content, QVBoxLayout* right) {
    auto* devices = new QGroupBox(QStringLiteral("Protectors"), content);
    auto* dg = new QGridLayout(devices);
    static constexpr int kEdits[] = {1044, 1045, 1046, 1047};
    static constexpr int kButtons[] = {1285, 1286, 1287, 1288};
    for (int i = 0; i < 4; ++i) {
        if (i % 2 == 0) {
            auto* side = new QLabel(i == 0 ? QStringLiteral("Chung") : QStringLiteral("Hong"), devices);
            Paint(side, i == 0 ? QColor(0, 0, 255) : QColor(255, 0, 0), Qt::white);
            dg->addWidget(side, i / 2 * 3, 0, 1, 2);
        }
        auto* edit = Add(kEdits[i], new QLineEdit(devices));
        edit->setMaxLength(16);
        dg->addWidget(edit, i / 2 * 3 + 1 + i % 2, 0);
        auto* button = Add(kButtons[i], new QPushButton(devices));
        button->setFixedHeight(40);
        dg->addWidget(button, i / 2 * 3 + 1 + i % 2, 1);
        connect(button, &QPushButton::clicked, this, [this, i] { RegisterPss(i); });
    }
    auto* useList = Add(1053, new QCheckBox(QStringLiteral(" Use Device List "), devices));
    dg->addWidget(useList, 6, 0);
    auto* listButton = Add(1291, new QPushButton(QStringLiteral("Device List "), devices));
    dg->addWidget(listButton, 6, 1);
    right->addWidget(devices);
    connect(useList, &QCheckBox::clicked, this, &CTK_RegDlg::OnUseDeviceList);
    connect(listButton, &QPushButton::clicked, this, [this] {
        CTK_DevListDlg editor(this);
        editor.exec();
        ReadDeviceListEntries();
    });

    auto* levels = new QGroupBox(QStringLiteral("Levels"), content);
    auto* vg = new QGridLayout(levels);
    vg->addWidget(new QLabel(QStringLiteral("Trunk PSS Power Level : "), levels), 0, 0);
    vg->addWidget(Add(1048, new QLineEdit(levels)), 0, 1);
    vg->addWidget(new QLabel(QStringLiteral("Punch PSS Power Level : "), levels), 1, 0);
    vg->addWidget(Add(1056, new QLineEdit(levels)), 1, 1);
    auto* applyLevels = Add(1289, new QPushButton(QStringLiteral("Apply"), levels));
    vg->addWidget(applyLevels, 2, 1);
    right->addWidget(levels);
    connect(applyLevels, &QPushButton::clicked, this, &CTK_RegDlg::OnApplyLevels);

    auto* pairOn = Add(1000, new QPushButton(QStringLiteral("Pairing ON"), content));
    auto* pairOff = Add(1001, new QPushButton(QStringLiteral("Pairing OFF"), content));
    pairOn->hide();
    pairOff->hide();
    connect(pairOn, &QPushButton::clicked, this, [this] { OnPairing(true); });
    connect(pairOff, &QPushButton::clicked, this, [this] { OnPairing(false); });
    m_log = Add(1410, new QListWidget(content));
    m_log->hide();
}

void CTK_RegDlg::InitTeamDevicePanel(QWidget* content, QVBoxLayout* right) {
    auto* devices = new QGroupBox(QStringLiteral("Protectors"), content);
    auto* dg = new QGridLayout(devices);
    dg->setVerticalSpacing(2);
    dg->setHorizontalSpacing(2);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(small.pointSizeF());
    for (int k = 0; k < 4; ++k) {
        auto* heading = new QLabel(k < 2 ? QStringLiteral("Chung") : QStringLiteral("Hong"), devices);
        if (k % 2 == 0) {
            Paint(heading, k == 0 ? QColor(0, 0, 255) : QColor(255, 0, 0), Qt::white);
            dg->addWidget(heading, 0, k == 0 ? 0 : 2, 1, 2);
        } else {
            delete heading;
        }
    }
    for (int member = 1; member <= 6; ++member) {
        for (int k = 0; k < 4; ++k) {
            const int index = Registration::TeamDeviceIndex(member, k);
            const MemberDevice* device = MemberDeviceOf(index);
            auto* edit = Add(device->edit, new QLineEdit(devices));
            edit->setMaxLength(16);
            edit->setFont(digits);
            edit->setFixedWidth(118);
            auto* button = Add(
                device->button,
                new QPushButton(QStringLiteral("%1 %2").arg(k % 2 ? "Head" : "Trunk").arg(member), devices));
            button->setFont(small);
            button->setFixedWidth(54);
            const int row = 1 + (member - 1) * 2 + (k % 2);
            const int column = k < 2 ? 0 : 2;
            dg->addWidget(edit, row, column);
            dg->addWidget(button, row, column + 1);
            edit->setEnabled(false);
            button->setEnabled(false);
            connect(button, &QPushButton::clicked, this, [this, index] { RegisterMemberPss(index); });
        }
    }
    right->addWidget(devices);

    auto* levels = new QGroupBox(QStringLiteral("Levels"), content);
    auto* vg = new QGridLayout(levels);
    vg->addWidget(new QLabel(QStringLiteral("Trunk Power :"), levels), 0, 0);
    vg->addWidget(Add(1048, new QLineEdit(levels)), 0, 1);
    vg->addWidget(new QLabel(QStringLiteral("Head Power :"), levels), 0, 2);
    vg->addWidget(Add(1056, new QLineEdit(levels)), 0, 3);
    vg->addWidget(new QLabel(QStringLiteral("Punch Power :"), levels), 1, 0);
    vg->addWidget(Add(1080, new QLineEdit(levels)), 1, 1);
    auto* applyLevels = Add(1289, new QPushButton(QStringLiteral("Apply"), levels));
    vg->addWidget(applyLevels, 1, 3);
    right->addWidget(levels);
    connect(applyLevels, &QPushButton::clicked, this, &CTK_RegDlg::OnApplyLevels);
}

void CTK_RegDlg::InitJudgePanel(QWidget* content, QVBoxLayout* right) {
    auto* judges = new QGroupBox(QStringLiteral("Judges"), content);
    auto* jg = new QGridLayout(judges);
    static constexpr int kWired[] = {1311, 1060, 1062};
    static constexpr int kLabels[] = {1323, 1324, 1325};
    static constexpr int kJudgeButtons[] = {1329, 1330, 1331};
    for (int n = 0; n < 3; ++n) {
        auto* wired = Add(kWired[n], new QCheckBox(QStringLiteral("Use Wire Connection"), judges));
        auto* label = Add(kLabels[n], new QLabel(QStringLiteral("None"), judges));
        label->setMinimumWidth(m_bTeam ? 96 : 140);
        label->setFrameShape(QFrame::Box);
        auto* button = Add(kJudgeButtons[n], new QPushButton(judges));
        if (m_bTeam) {
            // One line a judge: the team's member grid takes the height.
            jg->addWidget(wired, n, 0);
            jg->addWidget(label, n, 1);
            jg->addWidget(button, n, 2);
        } else {
            button->setFixedHeight(40);
            jg->addWidget(wired, n * 2, 0, 1, 2);
            jg->addWidget(label, n * 2 + 1, 0);
            jg->addWidget(button, n * 2 + 1, 1);
        }
        connect(wired, &QCheckBox::clicked, this, [this, n] { OnUseWireConnection(n); });
        connect(button, &QPushButton::clicked, this, [this, n] { RegisterJudge(n); });
    }
    right->addWidget(judges);
}

QWidget* CTK_RegDlg::GetDlgItem(int id) const {
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

QString CTK_RegDlg::GetDlgItemText(int id) const {
    QWidget* w = GetDlgItem(id);
    if (auto* edit = qobject_cast<CMaskedEdit*>(w))
        return edit->GetWindowText();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return {};
}

void CTK_RegDlg::SetDlgItemText(int id, const QString& text) {
    QWidget* w = GetDlgItem(id);
    if (auto* edit = qobject_cast<CMaskedEdit*>(w))
        edit->SetWindowText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
}

void CTK_RegDlg::PlaceOnScreen(int wide) {
    if (!m_pMatchData)
        return;
    const Registration::Placement p = Registration::DialogPlacement(*m_pMatchData, wide == 1, m_bTeam);
    setGeometry(p.x, p.y, p.width, p.height);
}

void CTK_RegDlg::OnWide() {
    PlaceOnScreen(static_cast<QCheckBox*>(GetDlgItem(1063))->isChecked() ? 1 : 0);
}

void CTK_RegDlg::InitWeightCombos() {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    auto* cls = static_cast<QComboBox*>(GetDlgItem(1296));
    cls->clear();
    for (int d = 0; d < md.nDivisionCount; ++d)
        if (const WCHAR* name = DivisionName(md, d))
            cls->addItem(QString::fromUtf16(name) + (m_bTeam ? QStringLiteral(" Team") : QString()));
    cls->setCurrentIndex(SelectedDivision(md));
    auto* gender = static_cast<QComboBox*>(GetDlgItem(1298));
    gender->setCurrentIndex(md.nCurGender >= 0 && md.nCurGender < gender->count() ? md.nCurGender : 0);
    RefillWeightCombo();
    auto* weight = static_cast<QComboBox*>(GetDlgItem(1299));
    weight->setCurrentIndex(md.nCurWeight >= 0 && md.nCurWeight < weight->count() ? md.nCurWeight : 0);
    auto* phase = static_cast<QComboBox*>(GetDlgItem(1297));
    phase->setCurrentIndex(md.nCurPhase >= 0 && md.nCurPhase < phase->count() ? md.nCurPhase : 0);
}

void CTK_RegDlg::RefillWeightCombo() {
    if (!m_pMatchData)
        return;
    const int division = static_cast<QComboBox*>(GetDlgItem(1296))->currentIndex();
    const int gender = static_cast<QComboBox*>(GetDlgItem(1298))->currentIndex() == 1 ? 1 : 0;
    auto* weight = static_cast<QComboBox*>(GetDlgItem(1299));
    weight->clear();
    for (int w = 0; w < WeightClassCount(*m_pMatchData, division); ++w)
        if (const WCHAR* name = WeightClassText(*m_pMatchData, WeightText::Name, gender, division, w))
            weight->addItem(QString::fromUtf16(name));
    weight->setCurrentIndex(weight->count() > 0 ? 0 : -1);
}

void CTK_RegDlg::ApplyPssType() {
    const int type = m_pMatchData ? m_pMatchData->nPSSType : 0;
    if (m_bTeam) {
        const int shown = Registration::TeamMembersShown(m_pMatchData ? m_pMatchData->nTeamType : 0);
        for (int member = 1; member <= 6; ++member) {
            for (int k = 0; k < 4; ++k) {
                const MemberDevice* device = MemberDeviceOf(Registration::TeamDeviceIndex(member, k));
                const bool on = member <= shown && (type == 2 || (type == 1 && k % 2 == 0));
                GetDlgItem(device->button)->setEnabled(on);
                GetDlgItem(device->edit)->setEnabled(on);
            }
        }
        return;
    }
    for (const int id : {1285, 1287, 1044, 1046})
        GetDlgItem(id)->setEnabled(type == 1 || type == 2);
    for (const int id : {1286, 1288, 1045, 1047})
        GetDlgItem(id)->setEnabled(type == 2);
}

void CTK_RegDlg::SetRoundControlsEnabled(bool on) {
    for (const int id : {1043, 1052, 1054, 1294, 1295})
        GetDlgItem(id)->setEnabled(on);
}

bool CTK_RegDlg::LinkUp() const {
    // Supplier 3's link is the tournament database connection, with no link object.
    return m_pMatchData && m_pMatchData->bOvrConnected && (m_pMatchData->pOvrLink || TournamentMode());
}

bool CTK_RegDlg::PreRegUp() const {
    return m_pMatchData && m_pMatchData->pPreRegLink && m_pMatchData->bPreRegConnected;
}

void CTK_RegDlg::Colour() {
    if (!m_pMatchData)
        return;
    const MatchData& md = *m_pMatchData;
    const QColor green(0, 255, 0);
    if (m_bTeam) {
        for (int member = 1; member <= 6; ++member) {
            for (int k = 0; k < 4; ++k) {
                const int slot = Registration::TeamPlayerSlot(member, k);
                const bool on = k % 2 ? md.bRegHead[slot] : md.bRegBody[slot];
                const MemberDevice* device = MemberDeviceOf(Registration::TeamDeviceIndex(member, k));
                Paint(GetDlgItem(device->edit), on ? green : Qt::white, Qt::black);
            }
        }
    }
    static constexpr int kLabels[] = {1323, 1324, 1325};
    for (int n = 0; n < kJudges; ++n)
        Paint(GetDlgItem(kLabels[n]), md.bJudgeWired[n] ? green : Qt::white, Qt::black);
    if (m_bTeam)
        return;
    const int registered[4] = {md.bRegBody[0], md.bRegHead[0], md.bRegBody[1], md.bRegHead[1]};
    static constexpr int kEdits[] = {1044, 1045, 1046, 1047};
    for (int i = 0; i < 4; ++i)
        Paint(GetDlgItem(kEdits[i]), registered[i] ? green : Qt::white, Qt::black);
}

LRESULT CTK_RegDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_REG_REFRESH_DEVICES:
        if (m_bTeam) {
            if (m_pMatchData) {
                std::fill(std::begin(m_pMatchData->bRegBody), std::end(m_pMatchData->bRegBody), 0);
                std::fill(std::begin(m_pMatchData->bRegHead), std::end(m_pMatchData->bRegHead), 0);
            }
            Colour();
            update();
            break;
        }
        SetDlgItemText(1285, QStringLiteral("Trunk\nRegister"));
        SetDlgItemText(1287, QStringLiteral("Trunk\nRegister"));
        SetDlgItemText(1286, QStringLiteral("Head\nRegister"));
        SetDlgItemText(1288, QStringLiteral("Head\nRegister"));
        if (m_pMatchData) {
            for (int slot = 0; slot < 2; ++slot) {
                m_pMatchData->bRegBody[slot] = 0;
                m_pMatchData->bRegHead[slot] = 0;
            }
        }
        Colour();
        update();
        break;
    case UM_REG_LOG_LINE:
        if (m_bTeam)
            break;
        AddLogLine(lParam ? QString::fromUtf8(reinterpret_cast<const char*>(lParam)) : QString());
        break;
    case UM_REG_SET_FLAG:
        if (!m_bTeam)
            m_bPairingOn = 1;
        break;
    case UM_REG_DEVICE_PAIRED:
        UpdateDeviceButtons(static_cast<int>(wParam), lParam ? reinterpret_cast<const char*>(lParam) : "");
        break;
    default:
        break;
    }
    return 0;
}

void CTK_RegDlg::AddLogLine(const QString& line) {
    if (m_nLogLines >= kLogLimit) {
        m_log->clear();
        m_nLogLines = 0;
    }
    m_log->insertItem(m_nLogLines, line);
    m_log->setCurrentRow(m_nLogLines);
    ++m_nLogLines;
}

void CTK_RegDlg::OnPairing(bool on) {
    m_bPairingOn = on ? 1 : 0;
    SendOvrRequest(on ? 2 : 7);
    SendMessage(g_hMainWnd, UM_CONNECT_STATE, on ? 1 : 0, 0);
    GetDlgItem(1290)->setEnabled(!on);
    auto* button = GetDlgItem(1000);
    Paint(button, on ? QColor(0, 0, 255) : palette().color(QPalette::Window), on ? Qt::white : Qt::black);
    update();
}

void CTK_RegDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never end the dialog; only "Close" does.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CTK_RegDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow* window = windowHandle())
            window->startSystemMove();
        return;
    }
    if (event->button() == Qt::RightButton)
        m_rightClick = event->pos();
    QDialog::mousePressEvent(event);
}

void CTK_RegDlg::contextMenuEvent(QContextMenuEvent* event) {
    // A right press on the dialog's own surface shows no menu; it only forgets the point.
    m_rightClick = QPoint();
    event->accept();
}

void CTK_RegDlg::OnListContextMenu(const QPoint& pos) {
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setData(kDeleteCommand);
    if (menu.exec(m_list->viewport()->mapToGlobal(pos)) == remove)
        DeleteSelectedPlayers();
}
