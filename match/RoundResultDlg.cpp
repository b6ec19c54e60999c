#include "match/RoundResultDlg.h"

#include "app/DisplayFont.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "match/RoundResultRules.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace RoundResultRules;

namespace {

const QString kBlue = QStringLiteral("#0000ff");
const QString kRed = QStringLiteral("#ff0000");
const QString kGreen = QStringLiteral("#00ff00");

QString Id(int id) {
    return QString::number(id);
}

void Paint(QWidget* w, const QString& background, const QString& text = QStringLiteral("white")) {
    w->setStyleSheet(QStringLiteral("background-color: %1; color: %2;").arg(background, text));
}

} // namespace

CTK_RndResDlg::CTK_RndResDlg(int roundIndex, int winner, int reason, QWidget* parent)
    : QDialog(parent), m_nRound(roundIndex), m_nWinner(winner), m_nReason(reason) {
    setWindowTitle(QStringLiteral("Round Result"));
    setObjectName(QStringLiteral("886"));
    setModal(false);
    BuildControls();
    Evaluate();
    adjustSize();
    if (const MatchData* md = g_pMatchData)
        move((md->nPrimaryRight - width()) / 2, (md->nPrimaryBottom - height()) / 2);
    // Application filters run newest first, so this one sees a space bar press meant for the dialog before
    // the operator's shortcuts do.
    qApp->installEventFilter(this);
}

CTK_RndResDlg::~CTK_RndResDlg() {
    qApp->removeEventFilter(this);
    if (!m_bQuiet)
        PostMessage(g_hMainWnd, UM_ROUND_RESULT_CLOSED, 0, 0);
}

void CTK_RndResDlg::Reevaluate(int roundIndex, int winner, int reason) {
    m_nRound = roundIndex;
    m_nWinner = winner;
    m_nReason = reason;
    for (QCheckBox* box : m_sup)
        box->setChecked(false);
    Evaluate();
}

void CTK_RndResDlg::Dismiss() {
    m_bQuiet = true;
    hide();
    deleteLater();
}

void CTK_RndResDlg::BuildControls() {
    auto* grid = new QGridLayout(this);
    const QFont big = DisplayFont(28);

    m_title = new QLabel(this);
    m_title->setObjectName(Id(IDC_TITLE));
    m_title->setFont(big);
    m_title->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_title, 0, 0, 1, 3);

    auto* chung = new QLabel(QStringLiteral("CHUNG"), this);
    auto* vs = new QLabel(QStringLiteral("VS"), this);
    auto* hong = new QLabel(QStringLiteral("HONG"), this);
    chung->setObjectName(Id(IDC_CHUNG));
    vs->setObjectName(Id(IDC_VS));
    hong->setObjectName(Id(IDC_HONG));
    Paint(chung, kBlue);
    Paint(hong, kRed);
    for (QLabel* l : {chung, vs, hong}) {
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumHeight(30);
    }
    grid->addWidget(chung, 1, 0);
    grid->addWidget(vs, 1, 1);
    grid->addWidget(hong, 1, 2);

    const MatchData* md = g_pMatchData;
    struct Row {
        const char* label;
        int chungId;
        int labelId;
    };
    const Row rows[] = {
        {"Tech Count : Gam-Jeom", IDC_OPP_GAMJEOM_CHUNG, 0},
        {"Gam-jeom", IDC_GAMJEOM_CHUNG, 0},
        {"Total Point", IDC_TOTAL_CHUNG, 0},
        {md && md->nCompetitionType == 2 ? "Tech Count : Spinning" : "Tech Count : Head", IDC_HEAD_CHUNG,
         IDC_HEAD_LABEL},
        {"Tech Count : Trunk", IDC_TRUNK_CHUNG, 0},
        {"Hits Registered by PSS", IDC_PSS_CHUNG, 0},
        {"Tech Count: Punch", IDC_PUNCH_CHUNG, 0},
        {"Turning/Spinning KIck", IDC_TURNING_CHUNG, 0},
    };
    int line = 2;
    for (const Row& row : rows) {
        for (int side = 0; side < 2; ++side) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(Id(row.chungId + side));
            edit->setReadOnly(true);
            edit->setAlignment(Qt::AlignCenter);
            edit->setFocusPolicy(Qt::NoFocus);
            edit->setFixedWidth(90);
            grid->addWidget(edit, line, side == 0 ? 0 : 2);
        }
        auto* label = new QLabel(QString::fromLatin1(row.label), this);
        if (row.labelId)
            label->setObjectName(Id(row.labelId));
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, line, 1);
        ++line;
    }

    m_winner = new QLabel(this);
    m_winner->setObjectName(Id(IDC_WINNER));
    m_winner->setFont(big);
    m_winner->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_winner, line++, 0, 1, 3);

    auto* group = new QGroupBox(QStringLiteral("Superiority Criteria"), this);
    auto* groupLayout = new QHBoxLayout(group);
    m_sup[0] = new QCheckBox(QStringLiteral("CHUNG (SUP)"), group);
    m_sup[1] = new QCheckBox(QStringLiteral("HONG (SUP)"), group);
    m_sup[0]->setObjectName(Id(IDC_SUP_CHUNG));
    m_sup[1]->setObjectName(Id(IDC_SUP_HONG));
    for (QCheckBox* box : m_sup) {
        groupLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &CTK_RndResDlg::Colour);
    }
    grid->addWidget(group, line++, 0, 1, 3);

    auto* confirm = new QPushButton(QStringLiteral("Confirm"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    confirm->setObjectName(Id(IDOK));
    cancel->setObjectName(Id(IDCANCEL));
    confirm->setDefault(true);
    connect(confirm, &QPushButton::clicked, this, &CTK_RndResDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CTK_RndResDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, line, 0, 1, 3);
}

void CTK_RndResDlg::Evaluate() {
    m_title->setText(TitleText(m_nRound));
    const MatchData* md = g_pMatchData;
    const Counts counts = md ? RoundCounts(*md, m_nRound) : Counts{};
    for (int side = 0; side < 2; ++side) {
        const SideCounts& c = counts.side[side];
        const std::pair<int, int> values[] = {
            {IDC_TOTAL_CHUNG, c.total},
            {IDC_GAMJEOM_CHUNG, c.gamJeoms},
            {IDC_OPP_GAMJEOM_CHUNG, c.opponentGamJeoms},
            {IDC_HEAD_CHUNG, c.head},
            {IDC_TRUNK_CHUNG, c.trunk},
            {IDC_PUNCH_CHUNG, c.punch},
            {IDC_TURNING_CHUNG, c.turning},
            {IDC_PSS_CHUNG, c.pssHits},
        };
        for (const auto& [id, value] : values)
            findChild<QLineEdit*>(Id(id + side))->setText(QString::number(value));
    }
    if (m_nReason == kDecideNow) {
        const Outcome out = Decide(counts, md ? md->nGamJeom : 0);
        m_nWinner = out.winner;
        m_nReason = out.reason;
        if (out.showPopup)
            PostMessage(g_hMainWnd, UM_SHOW_ROUND_WINNER, static_cast<WPARAM>(out.popupWinner),
                        out.criterion);
    }
    m_winner->setText(WinnerText(m_nWinner));
    for (QCheckBox* box : m_sup)
        box->setVisible(m_nWinner == kDraw);
    Colour();
}

void CTK_RndResDlg::Colour() {
    const QString& winner = m_nWinner == kChung ? kBlue : m_nWinner == kHong ? kRed : kGreen;
    Paint(m_winner, winner,
          m_nWinner == kChung || m_nWinner == kHong ? QStringLiteral("white") : QStringLiteral("black"));
    for (int side = 0; side < 2; ++side) {
        if (m_sup[side]->isChecked())
            Paint(m_sup[side], side == 0 ? kBlue : kRed);
        else
            m_sup[side]->setStyleSheet({});
    }
}

void CTK_RndResDlg::accept() {
    if (m_nWinner == kDraw) {
        if (m_sup[0]->isChecked() == m_sup[1]->isChecked()) {
            MessageBox(g_hMainWnd, u"Please select one winner of this round!");
            return;
        }
        m_nWinner = m_sup[0]->isChecked() ? kChung : kHong;
        m_nReason = kSuperiority;
    }
    PostMessage(g_hMainWnd, UM_ROUND_WINNER_DECIDED, static_cast<WPARAM>(m_nWinner), m_nReason);
    QDialog::accept();
    deleteLater();
}

void CTK_RndResDlg::reject() {
    PostMessage(g_hMainWnd, UM_CLOSE_ROUND_WINNER, static_cast<WPARAM>(m_nWinner - 1), m_nReason);
    QDialog::reject();
    deleteLater();
}

bool CTK_RndResDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this)
        return false;
    return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Space;
}
