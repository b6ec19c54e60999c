#include "controls/CheckListCtrl.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// The header's box, drawn by the style like the rows' boxes.
QIcon CheckImage(const QWidget* widget, bool checked) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionButton option;
    option.rect = QRect(1, 1, 14, 14);
    option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    widget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, widget);
    return QIcon(pixmap);
}

} // namespace

CCheckListCtrl::CCheckListCtrl(QWidget* parent, int id) : QTreeWidget(parent) {
    if (id)
        setObjectName(QString::number(id));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CCheckListCtrl::OnHeaderClick);
    connect(this, &QTreeWidget::itemChanged, this, &CCheckListCtrl::OnItemChanged);
    // Rows added, removed or all cleared change whether every row is checked as much as a click does.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &CCheckListCtrl::FollowRows);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &CCheckListCtrl::FollowRows);
    connect(model(), &QAbstractItemModel::modelReset, this, &CCheckListCtrl::FollowRows);
}

CCheckListCtrl::~CCheckListCtrl() {
    // The tree removes its rows after this part of it is gone: they must no longer reach FollowRows.
    disconnect(model(), nullptr, this, nullptr);
}

bool CCheckListCtrl::Init() {
    if (m_bInitialised)
        return true;
    m_bInitialised = true;
    SetHeaderImage(kUnchecked);
    header()->setToolTip(QStringLiteral("Check or clear every row"));
    return true;
}

void CCheckListCtrl::SetHeaderImage(int image) {
    m_nHeaderImage = image;
    if (QTreeWidgetItem* head = headerItem())
        head->setIcon(0, CheckImage(this, image == kChecked));
}

int CCheckListCtrl::InsertItem(int row, const QStringList& texts) {
    row = std::clamp(row, 0, topLevelItemCount());
    auto* item = new QTreeWidgetItem(texts);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    insertTopLevelItem(row, item);
    return row;
}

bool CCheckListCtrl::DeleteItem(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return false;
    delete takeTopLevelItem(row);
    return true;
}

QString CCheckListCtrl::GetItemText(int row, int col) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(col) : QString();
}

void CCheckListCtrl::SetItemText(int row, int col, const QString& text) {
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setText(col, text);
}

bool CCheckListCtrl::GetCheck(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->checkState(0) == Qt::Checked;
}

void CCheckListCtrl::SetCheck(int row, bool checked) {
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void CCheckListCtrl::OnHeaderClick(int section) {
    if (section != 0 || !m_bInitialised)
        return;
    const int image = m_nHeaderImage == kUnchecked ? kChecked : kUnchecked;
    SetHeaderImage(image);
    m_bSettingAll = true;
    for (int row = 0; row < topLevelItemCount(); ++row)
        SetCheck(row, image == kChecked);
    m_bSettingAll = false;
}

void CCheckListCtrl::OnItemChanged(QTreeWidgetItem*, int) {
    FollowRows();
}

void CCheckListCtrl::FollowRows() {
    if (!m_bInitialised || m_bSettingAll)
        return;
    bool anyUnchecked = false;
    for (int row = 0; row < topLevelItemCount() && !anyUnchecked; ++row)
        anyUnchecked = !GetCheck(row);
    SetHeaderImage(anyUnchecked ? kUnchecked : kChecked);
}
