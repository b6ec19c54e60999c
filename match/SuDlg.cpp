#include "match/SuDlg.h"

#include "app/MatchData.h"
#include "match/DivWnd.h"
#include "match/RuleWnd.h"
#include "platform/DebugOutput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kDivisionTab = 2;
} // namespace

CTK_SuDlg::CTK_SuDlg(MatchData* md, QWidget* parent) : QDialog(parent), m_pMatch(md) {
    setWindowTitle(QStringLiteral("Configuration"));
    setFixedSize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QString::number(IDC_TAB));
    m_pRuleWnd = new CTK_RuleWnd(md, m_pTabs);
    m_pExternalTab = new QWidget(m_pTabs);
    m_pDivWnd = new CTK_DivWnd(md, m_pTabs);
    m_pTabs->addTab(m_pRuleWnd, QStringLiteral("Rule"));
    m_pTabs->addTab(m_pExternalTab, QStringLiteral("External"));
    m_pTabs->addTab(m_pDivWnd, QStringLiteral("Division / Level"));
    layout->addWidget(m_pTabs);
    CreateExternalPage();

    auto* buttons = new QHBoxLayout;
    auto* version = new QLabel(QStringLiteral("Ver.2.0.18H"), this);
    version->setObjectName(QString::number(IDC_VERSION));
    buttons->addWidget(version);
    buttons->addStretch();
    m_pDefault = new QPushButton(QStringLiteral("Default"), this);
    m_pDefault->setObjectName(QString::number(IDC_DEFAULT));
    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QString::number(IDC_APPLY));
    auto* okay = new QPushButton(QStringLiteral("Okay"), this);
    okay->setObjectName(QString::number(IDOK_));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QString::number(IDCLOSE_));
    for (QPushButton* button : {m_pDefault, apply, okay, close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(m_pTabs, &QTabWidget::currentChanged, this, &CTK_SuDlg::OnTabChanged);
    connect(apply, &QPushButton::clicked, this, [this] { OnApply(); });
    connect(okay, &QPushButton::clicked, this, &CTK_SuDlg::OnOkay);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pDefault, &QPushButton::clicked, this, &CTK_SuDlg::OnDefault);

    m_pTabs->setCurrentIndex(0);
    OnTabChanged(0);
    PlaceOnScreen();
}

CTK_SuDlg::~CTK_SuDlg() = default;

void CTK_SuDlg::PlaceOnScreen() {
    if (!m_pMatch)
        return;
    move((m_pMatch->nPrimaryRight - 1280) / 2 + 320, (m_pMatch->nPrimaryBottom - 720) / 2 + 10);
}

void CTK_SuDlg::OnTabChanged(int index) {
    m_pDefault->setVisible(index == kDivisionTab);
}

bool CTK_SuDlg::OnApply() {
    // The rule page refuses a number outside its range before anything of it is written; the other pages
    // are saved all the same.
    const bool rules = m_pRuleWnd->SaveRule();
    SaveExternalPage();
    m_pDivWnd->SaveLevels();
    return rules;
}

void CTK_SuDlg::OnOkay() {
    if (OnApply())
        accept();
}

void CTK_SuDlg::OnDefault() {
    m_pDivWnd->ShowDivision(m_pDivWnd->CurrentDivision(), 1);
}
