#include "match/WinSelDlg.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/DecisionRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CTK_WinSelDlg::CTK_WinSelDlg(int side, int proposedKind, QWidget* parent)
    : QDialog(parent), m_nSide(side == 1 ? 1 : 0) {
    setObjectName(QStringLiteral("637"));
    setWindowTitle(QStringLiteral("Winner"));
    const MatchData* md = g_pMatchData;
    m_bTournament = md && WinSelRules::UsesTournamentLayout(*md);
    m_rows = WinSelRules::Rows(m_bTournament, md && WinSelRules::ListsPointCeiling(*md));

    m_sideLabel = new QLabel(m_nSide == 0 ? QStringLiteral("Chung") : QStringLiteral("Hong"), this);
    m_sideLabel->setObjectName(QString::number(IDC_SIDE));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(30);
    arial.setWeight(QFont::Bold);
    m_sideLabel->setFont(arial);
    m_sideLabel->setAlignment(Qt::AlignCenter);
    m_sideLabel->setMinimumHeight(48);
    m_sideLabel->setStyleSheet(
        QStringLiteral("background-color: %1; color: white;")
            .arg(m_nSide == 0 ? QStringLiteral("#0000ff") : QStringLiteral("#ff0000")));

    m_list = new QComboBox(this);
    m_list->setObjectName(QString::number(IDC_LIST));
    int widest = 0;
    const QFontMetrics metrics(m_list->font());
    for (const WinSelRules::Row& row : m_rows) {
        m_list->addItem(row.text);
        widest = std::max(widest, metrics.horizontalAdvance(row.text) + metrics.averageCharWidth());
    }
    // The drop-down is as wide as its widest decision, so no text is cut.
    m_list->view()->setMinimumWidth(widest + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                                    style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A proposal the list has no row for is said, and the operator chooses; no other decision stands in.
    const int preselected = WinSelRules::PreselectedRow(m_rows, proposedKind);
    m_list->setCurrentIndex(preselected);
    m_note = new QLabel(this);
    m_note->setObjectName(QString::number(IDC_NOTE));
    m_note->setWordWrap(true);
    if (preselected < 0) {
        m_note->setText(QStringLiteral("The proposed decision (%1) is not in this list: please choose one.")
                            .arg(QString::fromLatin1(DecisionRules::DecisionCodeText(proposedKind, 0))));
        m_list->setPlaceholderText(QStringLiteral("Choose the decision"));
    }
    m_note->setVisible(preselected < 0);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setObjectName(QString::number(IDC_OK));
    cancel->setObjectName(QString::number(IDC_CANCEL));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CTK_WinSelDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CTK_WinSelDlg::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_sideLabel, 0, 0);
    layout->addWidget(m_list, 1, 0);
    layout->addWidget(m_note, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 2, 0);
    setMinimumWidth(420);
    adjustSize();
    if (md)
        move((md->nPrimaryRight - width()) / 2, (md->nPrimaryBottom - height()) / 2);
}

int CTK_WinSelDlg::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTK_WinSelDlg::accept() {
    const int b = m_list->currentIndex();
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (b < 0 || b >= static_cast<int>(m_rows.size())) {
        MessageBox(g_hMainWnd, u"Please select the decision.");
        return;
    }
    const WinSelRules::Row& row = m_rows[static_cast<std::size_t>(b)];
    if (ScoreRules::UsesRoundWins(*md) && !WinSelRules::AdmittedByRoundWins(row.kind)) {
        MessageBox(g_hMainWnd, WinSelRules::RoundWinRefusal(row.text).toStdU16String());
        return;
    }
    md->nWinSide = m_nSide;
    md->nDecisionKind = row.kind;
    md->nWinRound = md->nCurRound;
    if (m_bTournament && !WriteTournamentDecision(row.resultCode))
        DebugPrintf("winner selection: the decision stands without its tournament-database rows");
    QDialog::accept();
}
