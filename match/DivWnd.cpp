#include "match/DivWnd.h"

#include "app/ColorRef.h"
#include "app/MatchData.h"
#include "app/WeightDivisions.h"
#include "controls/DataGrid.h"
#include "match/DivisionLevels.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr COLORREF kLabelBrush = 0xFFFFA8; // light cyan

QLabel* Label(int id, const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::number(id));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    font.setBold(true);
    label->setFont(font);
    QPalette look = label->palette();
    look.setColor(QPalette::Window, ColorFromRef(kLabelBrush));
    label->setPalette(look);
    label->setAutoFillBackground(true);
    label->setFixedHeight(24);
    return label;
}

} // namespace

CTK_DivWnd::CTK_DivWnd(MatchData* md, QWidget* parent)
    : QWidget(parent), m_pMatch(md), m_pMale(new CDataGrid(this, IDC_MALE_GRID)),
      m_pFemale(new CDataGrid(this, IDC_FEMALE_GRID)), m_pCombo(new QComboBox(this)) {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Select Game Type"), this));
    m_pCombo->setObjectName(QString::number(IDC_DIVISION));
    m_pCombo->setMinimumWidth(200);
    top->addWidget(m_pCombo);
    top->addStretch();
    layout->addLayout(top);
    layout->addWidget(Label(IDC_MALE_LABEL, " Male", this));
    layout->addWidget(m_pMale, 1);
    layout->addWidget(Label(IDC_FEMALE_LABEL, " Female", this));
    layout->addWidget(m_pFemale, 1);

    for (CDataGrid* grid : {m_pMale, m_pFemale}) {
        SetUpLevelGrid(*grid);
        connect(grid, &CDataGrid::notify, this, [this, grid](int code, int row, int col, LRESULT* result) {
            OnGridNotify(grid, code, row, col, result);
        });
    }
    if (md) {
        for (int d = 0; d < md->nDivisionCount; ++d)
            m_pCombo->addItem(QString::fromStdU16String(DivisionName(*md, d)));
        const int division = SelectedDivision(*md);
        if (division >= 0) {
            m_pCombo->setCurrentIndex(division);
            ShowDivision(division, 0);
        }
    }
    connect(m_pCombo, &QComboBox::activated, this, &CTK_DivWnd::OnSelchangeDivision);
}

void CTK_DivWnd::ShowDivision(int division, int fromDefaults) {
    if (!m_pMatch || division < 0 || division >= m_pMatch->nDivisionCount)
        return;
    m_nDivision = division;
    FillLevelGrid(*m_pMale, *m_pMatch, division, 0, fromDefaults != 0);
    FillLevelGrid(*m_pFemale, *m_pMatch, division, 1, fromDefaults != 0);
}

void CTK_DivWnd::SaveLevels() {
    if (!m_pMatch || m_nDivision < 0)
        return;
    const bool male = SaveLevelGrid(*m_pMale, *m_pMatch, m_nDivision, 0);
    const bool female = SaveLevelGrid(*m_pFemale, *m_pMatch, m_nDivision, 1);
    if (!male || !female)
        AfxMessageBox(u"WeightDiv.ini could not be written; the levels are kept until the program ends.",
                      MB_OK | MB_ICONWARNING);
}

int CTK_DivWnd::LevelsChanged() const {
    if (!m_pMatch || m_nDivision < 0)
        return 0;
    return LevelsDiffer(*m_pMale, *m_pMatch, m_nDivision, 0) ||
                   LevelsDiffer(*m_pFemale, *m_pMatch, m_nDivision, 1)
               ? 1
               : 0;
}

void CTK_DivWnd::OnSelchangeDivision(int index) {
    if (LevelsChanged() && MessageBox(0, u"Some datas have changed.\nDo you want save current data?",
                                      u"Informaton", MB_YESNO | MB_ICONINFORMATION) == IDYES)
        SaveLevels();
    ShowDivision(index, 0);
}

void CTK_DivWnd::OnGridNotify(CDataGrid* grid, int code, int row, int col, LRESULT* result) {
    if (code != DGN_ENDLABELEDIT || col < kBodyColumn)
        return;
    if (!ParseLevel(grid->GetItemText(row, col))) {
        *result = -1;
        AfxMessageBox(LevelRangeText().toStdU16String(), MB_OK | MB_ICONWARNING);
    }
}
