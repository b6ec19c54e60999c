#include "records/ResultBrowserDlg.h"

#include "app/VeziruduzApp.h"
#include "platform/MessageBox.h"
#include "records/ResultSheetDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kCriteria[] = {QStringLiteral("Court No."), QStringLiteral("Match No."),
                             QStringLiteral("Name")};

ResultCriterion CriterionOf(const QString& text) {
    if (text == kCriteria[0])
        return ResultCriterion::Court;
    if (text == kCriteria[1])
        return ResultCriterion::MatchNo;
    if (text == kCriteria[2])
        return ResultCriterion::Name;
    return ResultCriterion::None;
}

} // namespace

CTK_ResViewDlg::CTK_ResViewDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Result View"));
    resize(720, 520);
    auto* layout = new QVBoxLayout(this);
    auto* criteria = new QGridLayout;
    m_criterion1 = new QComboBox(this);
    m_criterion2 = new QComboBox(this);
    m_value1 = new QLineEdit(this);
    m_value2 = new QLineEdit(this);
    for (const QString& c : kCriteria)
        m_criterion1->addItem(c);
    m_criterion1->setCurrentIndex(-1);
    m_criterion2->setEnabled(false);
    m_value2->setEnabled(false);
    criteria->addWidget(m_criterion1, 0, 0);
    criteria->addWidget(m_value1, 0, 1);
    criteria->addWidget(m_criterion2, 1, 0);
    criteria->addWidget(m_value2, 1, 1);
    auto* latest = new QPushButton(QStringLiteral("A Latest Match"), this);
    auto* search = new QPushButton(QStringLiteral("Search"), this);
    search->setDefault(true);
    criteria->addWidget(latest, 0, 2);
    criteria->addWidget(search, 1, 2);
    layout->addLayout(criteria);

    m_list = new QTableWidget(0, kKeyColumn + 1, this);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Court"), QStringLiteral("No."),
                                       QStringLiteral("CHUNG Name"), QStringLiteral("HONG Name"),
                                       QStringLiteral("C.Point"), QStringLiteral("H.Point"),
                                       QStringLiteral("Result"), QStringLiteral("Date"), QString()});
    const int widths[] = {50, 50, 120, 120, 60, 60, 70, 90};
    for (int c = 0; c < kKeyColumn; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->setColumnHidden(kKeyColumn, true); // holds the match key
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    QFont listFont(QStringLiteral("Arial"));
    listFont.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK KR")});
    listFont.setPixelSize(15);
    listFont.setBold(true);
    m_list->setFont(listFont);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_list, 1);

    auto* bottom = new QHBoxLayout;
    auto* removeAll = new QPushButton(QStringLiteral("Remove All"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    bottom->addWidget(removeAll);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(latest, &QPushButton::clicked, this, &CTK_ResViewDlg::LoadLatest);
    connect(search, &QPushButton::clicked, this, &CTK_ResViewDlg::OnSearch);
    connect(removeAll, &QPushButton::clicked, this, &CTK_ResViewDlg::OnRemoveAll);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_criterion1, &QComboBox::currentIndexChanged, this, &CTK_ResViewDlg::OnSelchangeCriterion1);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CTK_ResViewDlg::OnDblclkResultList);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* remove = menu.addAction(QStringLiteral("Delete"));
        if (menu.exec(m_list->viewport()->mapToGlobal(at)) == remove)
            OnDeleteSelected();
    });
    LoadLatest();
}

void CTK_ResViewDlg::ShowRows(const std::vector<ResultListRow>& rows) {
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ResultListRow& row = rows[static_cast<std::size_t>(r)];
        const std::u16string* cells[] = {&row.court,    &row.gameNo,     &row.chungName,
                                         &row.hongName, &row.chungPoint, &row.hongPoint,
                                         &row.win,      &row.date,       &row.key};
        for (int c = 0; c <= kKeyColumn; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdU16String(*cells[c]));
            item->setTextAlignment(Qt::AlignCenter);
            // Chung's name and points in blue, Hong's in red.
            if (c == 2 || c == 4)
                item->setForeground(QColor(0, 0, 255));
            else if (c == 3 || c == 5)
                item->setForeground(QColor(255, 0, 0));
            m_list->setItem(r, c, item);
        }
    }
}

void CTK_ResViewDlg::LoadLatest() {
    ShowRows(LatestResult(theApp.m_dbLocal));
}

void CTK_ResViewDlg::OnSelchangeCriterion1() {
    const QString chosen = m_criterion1->currentText();
    m_criterion2->setEnabled(true);
    m_value2->setEnabled(true);
    m_criterion2->clear();
    for (const QString& c : kCriteria)
        if (c != chosen)
            m_criterion2->addItem(c);
    m_criterion2->setCurrentIndex(-1);
}

ResultSearchTerm CTK_ResViewDlg::Term(const QComboBox* criterion, QLineEdit* value) const {
    ResultSearchTerm term;
    term.criterion =
        criterion->currentIndex() < 0 ? ResultCriterion::None : CriterionOf(criterion->currentText());
    if (term.criterion == ResultCriterion::None)
        value->clear();
    term.value = value->text().trimmed().toStdU16String();
    return term;
}

void CTK_ResViewDlg::OnSearch() {
    ShowRows(SearchResults(theApp.m_dbLocal, Term(m_criterion1, m_value1), Term(m_criterion2, m_value2)));
}

void CTK_ResViewDlg::OnRemoveAll() {
    const int answer =
        MessageBox(static_cast<HWND>(0),
                   std::u16string_view(u"Are you sure to delete all game infomation?\r\nIf you select "
                                       u"\"Yes\", then all game information will be deleted!"),
                   std::u16string_view(u"Information"), MB_YESNO);
    if (answer != IDYES)
        return;
    if (DeleteAllResults(theApp.m_dbLocal))
        m_list->setRowCount(0);
}

void CTK_ResViewDlg::OnDeleteSelected() {
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        return;
    std::vector<std::u16string> keys;
    for (const int r : rows)
        keys.push_back(m_list->item(r, kKeyColumn)->text().toStdU16String());
    if (!DeleteResults(theApp.m_dbLocal, keys))
        return; // nothing was deleted, so the list stays as it is
    std::sort(rows.rbegin(), rows.rend());
    for (const int r : rows)
        m_list->removeRow(r);
}

void CTK_ResViewDlg::OnDblclkResultList() {
    const QList<QModelIndex> selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        m_list->setFocus();
        if (m_list->rowCount() > 0)
            m_list->selectRow(0);
        return;
    }
    const int r = selected.first().row();
    const auto text = [&](int c) { return m_list->item(r, c)->text().toStdU16String(); };
    OpenResultSheet(text(kKeyColumn), text(1), text(0));
}

void CTK_ResViewDlg::OpenResultSheet(const std::u16string& key, const std::u16string& gameNo,
                                     const std::u16string& court) {
    CTK_ResDlg sheet(this);
    sheet.SetMatch(court, gameNo, key);
    sheet.OnInitDialog();
    sheet.exec();
}
