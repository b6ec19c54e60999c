#include "match/VideoReplayDlg.h"

#include "app/DisplayFont.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "platform/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace VideoReplayDlgRules;

namespace {

const QString kBlue = QStringLiteral("#0000ff");
const QString kRed = QStringLiteral("#ff0000");
const QString kGreen = QStringLiteral("#00ff00");

QString Filled(const QString& colour) {
    return QStringLiteral("QPushButton { background-color: %1; color: %2; }")
        .arg(colour, colour == kGreen ? QStringLiteral("black") : QStringLiteral("white"));
}

} // namespace

CTK_IVRDlg::CTK_IVRDlg(int requester, QWidget* parent) : QDialog(parent) {
    m_choice.requester = requester >= 0 && requester <= 2 ? requester : 2;
    setObjectName(QStringLiteral("600"));
    setWindowTitle(QStringLiteral("Instant Video Replay"));
    setModal(false);
    const MatchData* md = g_pMatchData;
    const int type = md ? md->nCompetitionType : 0;
    const QFont small = DisplayFont(15);

    m_title = new QLabel(TitleText(m_choice.requester), this);
    m_title->setObjectName(QString::number(IDC_TITLE));
    m_title->setFont(DisplayFont(40));
    m_title->setAlignment(Qt::AlignCenter);
    const QString& requesterColour = m_choice.requester == 0   ? kBlue
                                     : m_choice.requester == 1 ? kRed
                                                               : kGreen;
    m_title->setStyleSheet(QStringLiteral("background-color: %1; color: white;").arg(requesterColour));

    m_sides = new QButtonGroup(this);
    m_techniques = new QButtonGroup(this);
    m_addRemove = new QButtonGroup(this);
    m_results = new QButtonGroup(this);

    auto* grid = new QGridLayout;
    // Column heads over Player, Points (two columns of buttons), Action and Result.
    struct Head {
        const char* text;
        int id;
        int column;
        int span;
    };
    const Head heads[] = {
        {"Player", 1327, 0, 1}, {"Points", 1330, 1, 2}, {"Action", 1336, 3, 1}, {"Result", 1339, 4, 1}};
    for (const Head& h : heads) {
        auto* head = new QLabel(QString::fromLatin1(h.text), this);
        head->setObjectName(QString::number(h.id));
        head->setFont(small);
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, h.column, 1, h.span);
    }
    // Player
    grid->addWidget(AddChoice(IDC_BLUE, QStringLiteral("BLUE"), m_sides), 1, 0);
    grid->addWidget(AddChoice(IDC_RED, QStringLiteral("RED"), m_sides), 2, 0);
    // Points: two columns of technique buttons
    struct Tech {
        int id;
        const char* text;
        const char* type2Text;
    };
    const Tech techs[] = {
        {kGamJeomButton, "Gam-Jeom", nullptr},
        {kSpecialGamJeomButton, "Gam-Jeom\n+2 POINT", nullptr},
        {kPunchButton, "1 POINT\nPunch", nullptr},
        {kTrunkButton, "2 POINT\nTrunk", nullptr},
        {kHeadButton, "3 POINT\nHead", nullptr},
        {kTrunkTechButton, "4 POINT\nTrunk+Tech", "3 POINT\nTrunk+Tech"},
        {kHeadTechButton, "5(6) POINTS\nHead+Tech", "4 POINT\nTrunk+Tech"},
        {kTrunkTechnicalButton, "2 POINT\nTrunk Tech", "1 POINT\nTrunk Tech"},
        {kHeadTechnicalButton, "2(3) POINT\nHead Tech", "2 POINT\nTrunk Tech"},
    };
    int index = 0;
    for (const Tech& t : techs) {
        const char* text = type == 2 && t.type2Text ? t.type2Text : t.text;
        QPushButton* button = AddChoice(t.id, QString::fromLatin1(text), m_techniques);
        if (type == 2 && (t.id == kPunchButton || t.id == kHeadButton))
            button->setEnabled(false);
        grid->addWidget(button, 1 + index / 2, 1 + index % 2);
        ++index;
    }
    // Action and result
    grid->addWidget(AddChoice(IDC_ADD, QStringLiteral("ADD\n[+]"), m_addRemove), 1, 3);
    grid->addWidget(AddChoice(IDC_REMOVE, QStringLiteral("REMOVE\n[-]"), m_addRemove), 2, 3);
    grid->addWidget(AddChoice(IDC_ACCEPT, QStringLiteral("ACCEPT\n[O]"), m_results), 1, 4);
    grid->addWidget(AddChoice(IDC_REJECT, QStringLiteral("REJECT\n[X]"), m_results), 2, 4);
    m_appeal = new QCheckBox(QStringLiteral(" Appeal to Reject by Referee"), this);
    m_appeal->setObjectName(QString::number(IDC_APPEAL));
    m_appeal->setFont(small);
    grid->addWidget(m_appeal, 3, 3, 1, 2);

    connect(m_sides, &QButtonGroup::idClicked, this, [this](int id) {
        m_choice.side = id - IDC_BLUE;
        Colour();
    });
    connect(m_techniques, &QButtonGroup::idClicked, this, &CTK_IVRDlg::OnTechnique);
    connect(m_addRemove, &QButtonGroup::idClicked, this, [this](int id) {
        m_choice.addRemove = id - IDC_ADD;
        Colour();
    });
    connect(m_results, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == IDC_ACCEPT)
            OnAccept();
        else
            m_choice.acceptReject = 1;
        Colour();
    });
    connect(m_appeal, &QCheckBox::toggled, this, &CTK_IVRDlg::OnAppeal);

    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QString::number(IDC_APPLY));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QString::number(IDC_CLOSE));
    close->setDefault(true);
    for (QPushButton* b : {m_apply, close}) {
        b->setFont(small);
        b->setMinimumHeight(36);
    }
    connect(m_apply, &QPushButton::clicked, this, &CTK_IVRDlg::OnApply);
    connect(close, &QPushButton::clicked, this, &CTK_IVRDlg::OnClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    Colour();
    adjustSize();
    if (parent) {
        const QRect client(parent->mapToGlobal(QPoint(0, 0)), parent->size());
        move(PlaceOverView(client, size()).topLeft());
    }
}

CTK_IVRDlg::~CTK_IVRDlg() {
    SendMessage(g_hMainWnd, UM_IVR_DESTROYED, 0, 0);
}

QPushButton* CTK_IVRDlg::AddChoice(int id, const QString& text, QButtonGroup* group) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::number(id));
    button->setCheckable(true);
    button->setFont(DisplayFont(15));
    button->setMinimumSize(130, 52);
    group->addButton(button, id);
    return button;
}

void CTK_IVRDlg::OnTechnique() {
    const MatchData* md = g_pMatchData;
    const int checked = m_techniques->checkedId();
    const Technique t =
        checked < 0 ? kNoTechnique
                    : TechniqueOf(checked, md ? md->nCompetitionType : 0, md ? md->nJudgePointMiddle : 0);
    m_choice.action = t.action;
    m_choice.category = t.category;
    Colour();
}

void CTK_IVRDlg::OnAccept() {
    if (m_appeal->isChecked()) {
        MessageBox(g_hMainWnd, u"Please uncheck the check box of 'Appeal to Reject by Referee'");
        m_results->button(IDC_REJECT)->setChecked(true);
        m_choice.acceptReject = 1;
        return;
    }
    m_choice.acceptReject = 0;
}

void CTK_IVRDlg::OnAppeal(bool checked) {
    m_choice.appeal = checked;
    if (checked) {
        m_results->button(IDC_REJECT)->setChecked(true);
        m_choice.acceptReject = 1;
    }
    Colour();
}

void CTK_IVRDlg::Colour() {
    const MatchData* md = g_pMatchData;
    const auto paint = [](QAbstractButton* b, bool filled, const QString& colour) {
        b->setStyleSheet(filled ? Filled(colour) : QString());
    };
    paint(m_sides->button(IDC_BLUE), m_choice.side == 0, kBlue);
    paint(m_sides->button(IDC_RED), m_choice.side == 1, kRed);
    paint(m_addRemove->button(IDC_ADD), m_choice.addRemove == 0, kGreen);
    paint(m_addRemove->button(IDC_REMOVE), m_choice.addRemove == 1, kGreen);
    paint(m_results->button(IDC_ACCEPT), m_choice.acceptReject == 0, kGreen);
    paint(m_results->button(IDC_REJECT), m_choice.acceptReject == 1, kGreen);
    // Every technique of the chosen points category lights, as the referee reads the category.
    for (const int id : kTechniqueIds) {
        const Technique t = TechniqueOf(id, md ? md->nCompetitionType : 0, md ? md->nJudgePointMiddle : 0);
        paint(m_techniques->button(id), t.category == m_choice.category, kGreen);
    }
}

void CTK_IVRDlg::OnApply() {
    if (m_bDecided)
        return;
    if (!Complete(m_choice)) {
        MessageBox(g_hMainWnd, u"Invalid data!");
        return;
    }
    if (MessageBox(g_hMainWnd, ConfirmText(m_choice).toStdU16String(), u"IVR Request", MB_YESNO) != IDYES)
        return;
    const std::string text = DecisionText(m_choice);
    m_bDecided = true;
    m_apply->setEnabled(false);
    SendMessage(g_hMainWnd, UM_IVR_DECISION, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CTK_IVRDlg::OnClose() {
    if (!m_bDecided) {
        if (MessageBox(g_hMainWnd,
                       u"IVR Result is not decieded!\r\nAre you sure to close the IVR Request Window?",
                       u"IVR Request", MB_YESNO) != IDYES)
            return;
        SendMessage(g_hMainWnd, UM_IVR_CLOSED, static_cast<WPARAM>(m_choice.requester), 0);
    }
    Finish();
}

void CTK_IVRDlg::Finish() {
    m_bFinishing = true;
    hide();
    deleteLater();
}

void CTK_IVRDlg::closeEvent(QCloseEvent* event) {
    // The window's close box, like Esc, does nothing: the dialog closes through its Close button.
    if (!m_bFinishing)
        event->ignore();
}

void CTK_IVRDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
