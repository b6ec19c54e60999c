// A report-style list whose rows carry check boxes and whose first column header carries a check box of its
// own: a click on it checks or clears every row, and it shows checked exactly when no row is unchecked, as
// rows are checked, cleared, added or deleted. The
// device lists dialog keeps its device addresses in it.
//
// Thread: user-interface thread only.
#pragma once

#include <QTreeWidget>

class CCheckListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    // Header images: 1 the unchecked box, 2 the checked box.
    static constexpr int kUnchecked = 1;
    static constexpr int kChecked = 2;

    explicit CCheckListCtrl(QWidget* parent = nullptr, int id = 0);
    ~CCheckListCtrl() override;

    // Puts the check box on the first column's header and starts following the rows. Once; TRUE.
    bool Init();
    int HeaderImage() const { return m_nHeaderImage; }

    // Rows: text of each column; the first column carries the row's check box (unchecked).
    int InsertItem(int row, const QStringList& texts);
    bool DeleteItem(int row);
    int GetItemCount() const { return topLevelItemCount(); }
    QString GetItemText(int row, int col) const;
    void SetItemText(int row, int col, const QString& text);
    bool GetCheck(int row) const;
    void SetCheck(int row, bool checked);

    // A click on a header item (the header calls it; tests may too).
    void OnHeaderClick(int section);

private:
    void SetHeaderImage(int image);
    void OnItemChanged(QTreeWidgetItem* item, int column);
    // The header shows checked exactly when no row is unchecked.
    void FollowRows();

    bool m_bInitialised = false;
    int m_nHeaderImage = 0;
    bool m_bSettingAll = false;
};
