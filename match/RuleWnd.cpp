#include "match/RuleWnd.h"

#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "controls/MaskedEdit.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr COLORREF kHeaderBrush = 0xFFFFA8; // light cyan
constexpr COLORREF kCourtIdle = RGB(255, 255, 255);
constexpr COLORREF kCourtLinked = RGB(0, 255, 0);

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

void Paint(QWidget* widget, COLORREF colour) {
    QPalette look = widget->palette();
    look.setColor(QPalette::Window, ColorFromRef(colour));
    widget->setPalette(look);
    widget->setAutoFillBackground(true);
}

QFont Arial(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

QLabel* Caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}

} // namespace

CTK_RuleWnd::CTK_RuleWnd(MatchData* md, QWidget* parent) : QWidget(parent), m_pMatch(md) {
    BuildControls();
    g_hRuleWnd = GetSafeHwnd();
    OnInitDialog();
}

CTK_RuleWnd::~CTK_RuleWnd() {
    // Only this page's own handle is cleared; the receive thread may look at it until then.
    HWND own = GetSafeHwnd();
    if (own != 0)
        g_hRuleWnd.compare_exchange_strong(own, HWND{0});
    DestroyWindow();
}

template <typename T> T* CTK_RuleWnd::Make(int id, QWidget* parent) {
    auto* control = new T(parent);
    control->setObjectName(QString::number(id));
    m_controls[id] = control;
    return control;
}

QWidget* CTK_RuleWnd::GetDlgItem(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}
QComboBox* CTK_RuleWnd::Combo(int id) const {
    return qobject_cast<QComboBox*>(GetDlgItem(id));
}
QAbstractButton* CTK_RuleWnd::Check(int id) const {
    return qobject_cast<QAbstractButton*>(GetDlgItem(id));
}
CMaskedEdit* CTK_RuleWnd::Edit(int id) const {
    return qobject_cast<CMaskedEdit*>(GetDlgItem(id));
}
QSpinBox* CTK_RuleWnd::Number(int id) const {
    return qobject_cast<QSpinBox*>(GetDlgItem(id));
}
QLabel* CTK_RuleWnd::Static(int id) const {
    return qobject_cast<QLabel*>(GetDlgItem(id));
}

void CTK_RuleWnd::BuildControls() {
    auto* page = new QVBoxLayout(this);
    page->setSpacing(6);

    const auto header = [&](int id, const char* text) {
        QLabel* label = Make<QLabel>(id, this);
        label->setText(QString::fromUtf8(text));
        label->setFont(Arial(15));
        Paint(label, kHeaderBrush);
        label->setFixedHeight(24);
        page->addWidget(label);
    };
    const auto combo = [&](int id, std::initializer_list<const char*> items) {
        QComboBox* box = Make<QComboBox>(id, this);
        for (const char* item : items)
            box->addItem(QString::fromUtf8(item));
        return box;
    };
    const auto check = [&](int id, const char* text) {
        QCheckBox* box = Make<QCheckBox>(id, this);
        box->setText(QString::fromUtf8(text));
        return box;
    };
    const auto number = [&](int id, NumberRange range) {
        QSpinBox* box = Make<QSpinBox>(id, this);
        box->setRange(range.low, range.high);
        box->setAlignment(Qt::AlignRight);
        return box;
    };
    // A time edit with its spin buttons; a spin step reads the text as minutes and seconds.
    const auto time = [&](int id, int spinId) {
        auto* holder = new QWidget(this);
        auto* row = new QHBoxLayout(holder);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(1);
        CMaskedEdit* edit = Make<CMaskedEdit>(id, holder);
        // The page reads and writes its times with ':' whatever separator the locale shows.
        edit->SetSeparators(MaskSeparators{});
        edit->SetMask(QStringLiteral("# : ##"));
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(70);
        row->addWidget(edit);
        auto* spin = new QWidget(holder);
        if (spinId)
            spin->setObjectName(QString::number(spinId)), m_controls[spinId] = spin;
        auto* arrows = new QVBoxLayout(spin);
        arrows->setContentsMargins(0, 0, 0, 0);
        arrows->setSpacing(0);
        for (const int delta : {1, -1}) {
            auto* arrow = new QToolButton(spin);
            arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
            arrow->setFixedSize(18, 12);
            arrow->setAccessibleName(delta > 0 ? QStringLiteral("One second more")
                                               : QStringLiteral("One second less"));
            arrow->setToolTip(arrow->accessibleName());
            connect(arrow, &QToolButton::clicked, this, [this, id, delta] { StepTimeEdit(id, delta); });
            arrows->addWidget(arrow);
        }
        row->addWidget(spin);
        row->addStretch();
        return holder;
    };

    header(IDC_HEADER_RULE, " Competition Rule");
    auto* rules = new QGridLayout;
    rules->setHorizontalSpacing(10);
    rules->addWidget(Caption("Competition Rule", this), 0, 0);
    rules->addWidget(combo(IDC_COMPETITION_RULE, {"Conventional", "Best of 3"}), 0, 1);
    auto* types = new QHBoxLayout;
    auto* typeGroup = new QButtonGroup(this);
    const char* typeTexts[] = {" 1 : 1", " Team", " PARA"};
    const int typeIds[] = {IDC_TYPE_INDIVIDUAL, IDC_TYPE_TEAM, IDC_TYPE_PARA};
    for (int i = 0; i < 3; ++i) {
        QRadioButton* radio = Make<QRadioButton>(typeIds[i], this);
        radio->setText(QString::fromUtf8(typeTexts[i]));
        typeGroup->addButton(radio, i);
        types->addWidget(radio);
    }
    rules->addWidget(Caption("Classification", this), 0, 2);
    rules->addLayout(types, 0, 3);
    rules->addWidget(Caption("Team Type", this), 1, 0);
    rules->addWidget(combo(IDC_TEAM_TYPE, {"3:3", "5:5", "Mixed"}), 1, 1);
    rules->addWidget(Caption("Round", this), 1, 2);
    rules->addWidget(Make<QComboBox>(IDC_ROUND, this), 1, 3);
    rules->addWidget(Caption("Match Time", this), 2, 0);
    rules->addWidget(time(IDC_MATCH_TIME, 0), 2, 1);
    QLabel* time2 = Make<QLabel>(IDC_MATCH_TIME2_LABEL, this);
    time2->setText(QStringLiteral("Match Time 2"));
    rules->addWidget(time2, 2, 2);
    rules->addWidget(time(IDC_MATCH_TIME2, IDC_MATCH_TIME2_SPIN), 2, 3);
    rules->addWidget(Caption("Rest Time", this), 3, 0);
    rules->addWidget(time(IDC_REST_TIME, 0), 3, 1);
    rules->addWidget(Caption("Kye-Shi Time", this), 3, 2);
    rules->addWidget(time(IDC_KYESHI_TIME, 0), 3, 3);
    rules->addWidget(Caption("Gam-jeom", this), 4, 0);
    rules->addWidget(number(IDC_GAMJEOM, kGamJeomRange), 4, 1);
    rules->addWidget(Caption("Video Replay", this), 4, 2);
    rules->addWidget(number(IDC_VIDEO_QUOTA, kVideoQuotaRange), 4, 3);
    rules->addWidget(check(IDC_USE_POINT_GAP, " Win by Point Gap"), 5, 0);
    rules->addWidget(number(IDC_POINT_GAP, kPointGapRange), 5, 1);
    rules->addWidget(check(IDC_USE_POINT_CEIL, " Win by Point Ceiling"), 5, 2);
    rules->addWidget(number(IDC_POINT_CEIL, kPointCeilRange), 5, 3);
    page->addLayout(rules);

    header(IDC_HEADER_EQUIPMENT, " Equipment");
    auto* equipment = new QGridLayout;
    equipment->setHorizontalSpacing(10);
    equipment->addWidget(Caption("Scoring", this), 0, 0);
    equipment->addWidget(combo(IDC_SCORING, {"Manual", "Body", "Body + Head"}), 0, 1);
    equipment->addWidget(Caption("e-Socks", this), 0, 2);
    equipment->addWidget(combo(IDC_ESOCKS, {"No Use", "Use"}), 0, 3);
    equipment->addWidget(Caption("Trunk", this), 1, 0);
    equipment->addWidget(combo(IDC_TRUNK_POINT, {"1", "2", "3", "4", "5"}), 1, 1);
    equipment->addWidget(Caption("Head", this), 1, 2);
    equipment->addWidget(combo(IDC_HEAD_POINT, {"1", "2", "3", "4", "5"}), 1, 3);
    equipment->addWidget(Caption("Judge Number", this), 2, 0);
    equipment->addWidget(combo(IDC_JUDGE_NUMBER, {"None", "1", "2", "3"}), 2, 1);
    equipment->addWidget(Caption("Top", this), 2, 2);
    equipment->addWidget(combo(IDC_JUDGE_TOP, {"0", "1", "2", "3", "4", "5"}), 2, 3);
    equipment->addWidget(Caption("Middle", this), 3, 0);
    equipment->addWidget(combo(IDC_JUDGE_MIDDLE, {"X2", "0", "1", "2", "3", "4", "5"}), 3, 1);
    equipment->addWidget(Caption("Bottom", this), 3, 2);
    equipment->addWidget(combo(IDC_JUDGE_BOTTOM, {"0", "1", "2", "3", "4", "5"}), 3, 3);
    equipment->addWidget(check(IDC_PSS_AUTO_OFF, " PSS Auto Off"), 4, 0, 1, 2);
    equipment->addWidget(check(IDC_SOUND_EFFECT, " Use Sound Effect"), 4, 2, 1, 2);
    equipment->addWidget(check(IDC_VIBRATION, " Use Vibration"), 5, 0, 1, 2);
    equipment->addWidget(check(IDC_KGF_UNIT, "Use Kgf Unit for Hit Level"), 5, 2, 1, 2);
    equipment->addWidget(check(IDC_PUNCH, " Use Punch"), 6, 0, 1, 2);
    equipment->addWidget(check(IDC_RESOLUTION, " 1280x720 Pixels"), 6, 2, 1, 2);
    page->addLayout(equipment);

    header(IDC_HEADER_COURT, " Court");
    auto* court = new QHBoxLayout;
    QLabel* courtNumber = Make<QLabel>(IDC_COURT, this);
    courtNumber->setFont(Arial(60));
    courtNumber->setAlignment(Qt::AlignCenter);
    courtNumber->setFixedSize(120, 80);
    courtNumber->setFrameShape(QFrame::Box);
    court->addWidget(courtNumber);
    auto* steps = new QVBoxLayout;
    for (const auto& [id, text, delta] :
         {std::tuple{IDC_COURT_UP, "▲", 1}, std::tuple{IDC_COURT_DOWN, "▼", -1}}) {
        QPushButton* step = Make<QPushButton>(id, this);
        step->setText(QString::fromUtf8(text));
        step->setFixedSize(40, 38);
        step->setAccessibleName(delta > 0 ? QStringLiteral("Next court") : QStringLiteral("Previous court"));
        step->setToolTip(step->accessibleName());
        connect(step, &QPushButton::clicked, this, [this, by = delta] { OnCourtStep(by); });
        steps->addWidget(step);
    }
    court->addLayout(steps);
    auto* channel = new QVBoxLayout;
    channel->addWidget(Caption("Channel Select", this));
    QComboBox* channels = Make<QComboBox>(IDC_CHANNEL, this);
    for (int i = 0; i < kChannelCount; ++i)
        channels->addItem(Text(ChannelText(i)));
    channel->addWidget(channels);
    court->addLayout(channel);
    QPushButton* set = Make<QPushButton>(IDC_SET, this);
    set->setText(QStringLiteral("SET"));
    set->setFixedSize(80, 50);
    court->addWidget(set);
    QLabel* version = Make<QLabel>(IDC_VERSION, this);
    version->setMinimumWidth(150);
    court->addWidget(version);
    court->addStretch();
    page->addLayout(court);
    page->addStretch();

    // Screen readers name each field by the caption it stands beside; boxes and buttons by their text.
    const std::pair<int, const char*> names[] = {
        {IDC_COMPETITION_RULE, "Competition Rule"},
        {IDC_TEAM_TYPE, "Team Type"},
        {IDC_ROUND, "Round"},
        {IDC_MATCH_TIME, "Match Time"},
        {IDC_MATCH_TIME2, "Match Time 2"},
        {IDC_REST_TIME, "Rest Time"},
        {IDC_KYESHI_TIME, "Kye-Shi Time"},
        {IDC_GAMJEOM, "Gam-jeom"},
        {IDC_VIDEO_QUOTA, "Video Replay"},
        {IDC_POINT_GAP, "Point Gap"},
        {IDC_POINT_CEIL, "Point Ceiling"},
        {IDC_SCORING, "Scoring"},
        {IDC_ESOCKS, "e-Socks"},
        {IDC_TRUNK_POINT, "Trunk"},
        {IDC_HEAD_POINT, "Head"},
        {IDC_JUDGE_NUMBER, "Judge Number"},
        {IDC_JUDGE_TOP, "Top"},
        {IDC_JUDGE_MIDDLE, "Middle"},
        {IDC_JUDGE_BOTTOM, "Bottom"},
        {IDC_COURT, "Court"},
        {IDC_CHANNEL, "Channel Select"},
        {IDC_VERSION, "Receiver version"},
    };
    const QList<QLabel*> captions = findChildren<QLabel*>();
    for (const auto& [id, name] : names) {
        QWidget* field = GetDlgItem(id);
        field->setAccessibleName(QString::fromUtf8(name));
        // A list box is read by its label.
        for (QLabel* caption : captions)
            if (caption->text() == field->accessibleName())
                caption->setBuddy(field);
        if (field->toolTip().isEmpty())
            field->setToolTip(field->accessibleName());
    }
    for (const auto& [id, control] : m_controls)
        if (auto* button = qobject_cast<QAbstractButton*>(control);
            button && button->accessibleName().isEmpty())
            button->setAccessibleName(button->text().trimmed());

    connect(typeGroup, &QButtonGroup::idClicked, this, [this] { OnClassification(); });
    connect(Combo(IDC_COMPETITION_RULE), &QComboBox::activated, this, [this] { OnCompetitionRule(); });
    connect(Combo(IDC_ROUND), &QComboBox::activated, this, &CTK_RuleWnd::OnRoundChanged);
    connect(Combo(IDC_SCORING), &QComboBox::currentIndexChanged, this, [this] { OnScoring(); });
    connect(Check(IDC_USE_POINT_GAP), &QAbstractButton::toggled, Number(IDC_POINT_GAP), &QWidget::setEnabled);
    connect(Check(IDC_USE_POINT_CEIL), &QAbstractButton::toggled, Number(IDC_POINT_CEIL),
            &QWidget::setEnabled);
    connect(set, &QPushButton::clicked, this, &CTK_RuleWnd::SaveCourtChannel);
}

void CTK_RuleWnd::OnInitDialog() {
    if (!m_pMatch) {
        DebugPrintf("Rule page without a match record; nothing shown");
        return;
    }
    const MatchData& md = *m_pMatch;
    for (const int id : {IDC_COURT_UP, IDC_COURT_DOWN, IDC_SET})
        GetDlgItem(id)->setEnabled(true);
    const RulePageValues v = RulePageValuesFrom(md);

    m_nCourt = md.nCourtNo >= 1 && md.nCourtNo <= kCourtCount ? md.nCourtNo : 1;
    ShowCourt();
    Combo(IDC_CHANNEL)->setCurrentIndex(std::clamp(md.nChannelNo, 0, kChannelCount - 1));
    if (md.bReceiverVerOk)
        ShowReceiverVersion();

    Combo(IDC_COMPETITION_RULE)->setCurrentIndex(v.competitionRule);
    Check(IDC_TYPE_INDIVIDUAL + v.competitionType)->setChecked(true);
    Combo(IDC_TEAM_TYPE)->setCurrentIndex(v.teamType);
    FillRoundList();
    Number(IDC_GAMJEOM)->setValue(v.gamJeom);
    ShowVideoQuota();
    Number(IDC_POINT_GAP)->setValue(v.pointGap);
    Check(IDC_USE_POINT_GAP)->setChecked(v.usePointGap);
    Number(IDC_POINT_GAP)->setEnabled(v.usePointGap);
    Number(IDC_POINT_CEIL)->setValue(v.pointCeil);
    Check(IDC_USE_POINT_CEIL)->setChecked(v.usePointCeil);
    Number(IDC_POINT_CEIL)->setEnabled(v.usePointCeil);
    ShowTimes();
    for (const int id : {IDC_MATCH_TIME2_LABEL, IDC_MATCH_TIME2_SPIN, IDC_MATCH_TIME2})
        GetDlgItem(id)->setEnabled(v.competitionType == 1);

    Combo(IDC_SCORING)->setCurrentIndex(v.pssType);
    Combo(IDC_ESOCKS)->setCurrentIndex(v.eSocks);
    OnScoring();
    Combo(IDC_TRUNK_POINT)->setCurrentIndex(v.trunkPoint);
    Combo(IDC_HEAD_POINT)->setCurrentIndex(v.headPoint);
    Combo(IDC_JUDGE_NUMBER)->setCurrentIndex(v.judgeNumber);
    Combo(IDC_JUDGE_TOP)->setCurrentIndex(v.judgeTop);
    Combo(IDC_JUDGE_MIDDLE)->setCurrentIndex(v.judgeMiddle);
    Combo(IDC_JUDGE_BOTTOM)->setCurrentIndex(v.judgeBottom);
    Check(IDC_PSS_AUTO_OFF)->setChecked(v.pssAutoOff);
    Check(IDC_SOUND_EFFECT)->setChecked(v.soundEffect);
    Check(IDC_VIBRATION)->setChecked(v.vibration);
    Check(IDC_KGF_UNIT)->setChecked(v.kgfUnit);
    Check(IDC_PUNCH)->setChecked(v.punch);
    Check(IDC_RESOLUTION)->setChecked(v.resolution720);
}

int CTK_RuleWnd::Classification() const {
    for (int i = 0; i < 3; ++i)
        if (Check(IDC_TYPE_INDIVIDUAL + i)->isChecked())
            return i;
    return 0;
}

void CTK_RuleWnd::FillRoundList() {
    const int round = m_pMatch ? m_pMatch->nRound : 3;
    const RoundList list = RoundListFor(Classification(), Combo(IDC_COMPETITION_RULE)->currentIndex(), round);
    QComboBox* rounds = Combo(IDC_ROUND);
    rounds->clear();
    for (int i = 0; i < list.count; ++i)
        rounds->addItem(Text(RoundText(list, i)));
    rounds->setCurrentIndex(list.selection);
}

void CTK_RuleWnd::ShowTimes() {
    if (!m_pMatch)
        return;
    const MatchData& md = *m_pMatch;
    const bool team = Classification() == 1;
    Edit(IDC_MATCH_TIME)->SetWindowText(Text(TimeText(team ? md.nTeamMatchTime[0] : md.nMatchTime)));
    Edit(IDC_MATCH_TIME2)->SetWindowText(Text(TimeText(md.nTeamMatchTime[1])));
    Edit(IDC_REST_TIME)->SetWindowText(Text(TimeText(md.nRestTime)));
    Edit(IDC_KYESHI_TIME)->SetWindowText(Text(TimeText(md.nKyeShiTime)));
}

void CTK_RuleWnd::ShowVideoQuota() {
    if (!m_pMatch)
        return;
    const int quota = Classification() == 1 ? m_pMatch->nTeamVRQuota : m_pMatch->nVRQuota;
    Number(IDC_VIDEO_QUOTA)->setValue(ShownVideoQuota(quota));
}

void CTK_RuleWnd::OnClassification() {
    const bool team = Classification() == 1;
    for (const int id : {IDC_MATCH_TIME2_LABEL, IDC_MATCH_TIME2_SPIN, IDC_MATCH_TIME2})
        GetDlgItem(id)->setEnabled(team);
    ShowTimes();
    FillRoundList();
    ShowVideoQuota();
}

void CTK_RuleWnd::OnCompetitionRule() {
    OnClassification();
    if (Combo(IDC_COMPETITION_RULE)->currentIndex() == 1) {
        Number(IDC_GAMJEOM)->setValue(kBestOf3GamJeom);
        Number(IDC_POINT_GAP)->setValue(kBestOf3PointGap);
    } else {
        Check(IDC_TYPE_TEAM)->setEnabled(true);
        Combo(IDC_TEAM_TYPE)->setEnabled(true);
        Number(IDC_GAMJEOM)->setValue(kConventionalGamJeom);
        Number(IDC_POINT_GAP)->setValue(kConventionalPointGap);
    }
}

void CTK_RuleWnd::OnRoundChanged(int index) {
    // Best of 3 always plays three rounds.
    if (Combo(IDC_COMPETITION_RULE)->currentIndex() == 1 && index != 2)
        Combo(IDC_ROUND)->setCurrentIndex(2);
}

void CTK_RuleWnd::OnScoring() {
    Combo(IDC_ESOCKS)->setEnabled(Combo(IDC_SCORING)->currentIndex() != 0);
}

void CTK_RuleWnd::StepTimeEdit(int id, int delta) {
    Edit(id)->SetWindowText(Text(TimeText(StepTime(TimeOf(id), delta))));
}

int CTK_RuleWnd::TimeOf(int id) const {
    return ParseTimeText(Edit(id)->GetWindowText().toStdU16String()).value_or(0);
}

int CTK_RuleWnd::ShownTimeOf(int id) const {
    return ParseShownTime(Edit(id)->GetWindowText().toStdU16String()).value_or(kNoTime);
}

void CTK_RuleWnd::ShowCourt() {
    QLabel* court = Static(IDC_COURT);
    court->setText(QString::number(m_nCourt));
    Paint(court, m_pMatch && m_pMatch->bReceiverVerOk ? kCourtLinked : kCourtIdle);
}

void CTK_RuleWnd::OnCourtStep(int delta) {
    m_nCourt = delta > 0 ? NextCourt(m_nCourt) : PreviousCourt(m_nCourt);
    ShowCourt();
    // Once a receiver answered, its channel stays where it was set.
    if (m_pMatch && !m_pMatch->bReceiverVerOk)
        Combo(IDC_CHANNEL)->setCurrentIndex(ChannelForCourt(m_nCourt));
}

void CTK_RuleWnd::ShowReceiverVersion() {
    Static(IDC_VERSION)->setText(QStringLiteral("Receiver (Ver. %1)").arg(Text(ReceiverVersionText())));
}

RulePageValues CTK_RuleWnd::Values() const {
    RulePageValues v;
    v.competitionRule = Combo(IDC_COMPETITION_RULE)->currentIndex();
    v.competitionType = Classification();
    // No selection: the record's team type has no entry (teams of six) and stays as it is.
    const int teamType = Combo(IDC_TEAM_TYPE)->currentIndex();
    v.teamType = teamType >= 0 ? teamType : m_pMatch ? RulePageValuesFrom(*m_pMatch).teamType : 0;
    v.roundIndex = std::max(Combo(IDC_ROUND)->currentIndex(), 0);
    v.gamJeom = Number(IDC_GAMJEOM)->value();
    v.videoQuota = Number(IDC_VIDEO_QUOTA)->value();
    v.pointGap = Number(IDC_POINT_GAP)->value();
    v.usePointGap = Check(IDC_USE_POINT_GAP)->isChecked();
    v.pointCeil = Number(IDC_POINT_CEIL)->value();
    v.usePointCeil = Check(IDC_USE_POINT_CEIL)->isChecked();
    v.matchTime1 = ShownTimeOf(IDC_MATCH_TIME);
    v.matchTime2 = ShownTimeOf(IDC_MATCH_TIME2);
    v.restTime = ShownTimeOf(IDC_REST_TIME);
    v.kyeShiTime = ShownTimeOf(IDC_KYESHI_TIME);
    v.pssType = std::max(Combo(IDC_SCORING)->currentIndex(), 0);
    v.eSocks = std::max(Combo(IDC_ESOCKS)->currentIndex(), 0);
    v.trunkPoint = std::max(Combo(IDC_TRUNK_POINT)->currentIndex(), 0);
    v.headPoint = std::max(Combo(IDC_HEAD_POINT)->currentIndex(), 0);
    v.judgeNumber = std::max(Combo(IDC_JUDGE_NUMBER)->currentIndex(), 0);
    v.judgeTop = std::max(Combo(IDC_JUDGE_TOP)->currentIndex(), 0);
    v.judgeMiddle = std::max(Combo(IDC_JUDGE_MIDDLE)->currentIndex(), 0);
    v.judgeBottom = std::max(Combo(IDC_JUDGE_BOTTOM)->currentIndex(), 0);
    v.pssAutoOff = Check(IDC_PSS_AUTO_OFF)->isChecked();
    v.soundEffect = Check(IDC_SOUND_EFFECT)->isChecked();
    v.vibration = Check(IDC_VIBRATION)->isChecked();
    v.kgfUnit = Check(IDC_KGF_UNIT)->isChecked();
    v.punch = Check(IDC_PUNCH)->isChecked();
    v.resolution720 = Check(IDC_RESOLUTION)->isChecked();
    return v;
}

bool CTK_RuleWnd::SaveRule() {
    if (!m_pMatch)
        return false;
    const RulePageValues values = Values();
    if (const auto refusal = CheckRuleValues(values)) {
        AfxMessageBox(*refusal, MB_OK | MB_ICONWARNING);
        return false;
    }
    SaveRuleValues(*m_pMatch, values, g_hMainWnd);
    return true;
}

void CTK_RuleWnd::SaveCourtChannel() {
    if (m_pMatch)
        ::SaveCourtChannel(*m_pMatch, m_nCourt, Combo(IDC_CHANNEL)->currentIndex(), g_hMainWnd);
}

LRESULT CTK_RuleWnd::WindowProc(UINT message, WPARAM, LPARAM) {
    if (message == UM_LINK_READY)
        OnLinkReady();
    return 0;
}

void CTK_RuleWnd::OnLinkReady() {
    if (!m_pMatch)
        return;
    for (const int id : {IDC_COURT_UP, IDC_COURT_DOWN, IDC_SET})
        GetDlgItem(id)->setEnabled(false);
    // The receive thread waits in this send: its version text is stable now, and nothing here may block.
    const std::u16string version = ReceiverVersionText();
    const bool accepted = ApplyReceiverVersion(*m_pMatch, version);
    ShowCourt();
    ShowReceiverVersion();
    if (!accepted) {
        // The box waits for the operator; the receive thread must not, so it is shown once the send returned.
        QTimer::singleShot(0, this, [] { AfxMessageBox(kOldReceiverText); });
    }
}
