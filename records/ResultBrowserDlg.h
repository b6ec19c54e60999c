// "Result View": the matches stored in the local event log. It opens on the newest match; the operator
// searches by court, match number and player name, deletes matches (with their event rows) and opens one
// match's result sheet. User-interface thread only.
#pragma once

#include "records/ResultBrowser.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QTableWidget;

class CTK_ResViewDlg : public QDialog {
    Q_OBJECT
public:
    enum : int {
        IDC_LATEST = 1000,
        IDC_REMOVE_ALL = 1001,
        IDC_SEARCH = 1002,
        IDC_CRITERION1 = 1042,
        IDC_CRITERION2 = 1043,
        IDC_VALUE1 = 1044,
        IDC_VALUE2 = 1045,
        IDC_LIST = 1363,
    };
    static constexpr int kKeyColumn = 8;

    explicit CTK_ResViewDlg(QWidget* parent = nullptr);

    void LoadLatest();
    void OnSelchangeCriterion1();
    void OnSearch();
    // Asks first; on Yes empties the three tables and the list.
    void OnRemoveAll();
    // Deletes every selected match with its event rows, in one transaction.
    void OnDeleteSelected();
    // Opens the selected match's result sheet; without a selection selects the first row instead.
    void OnDblclkResultList();

    QComboBox* Criterion1() const { return m_criterion1; }
    QComboBox* Criterion2() const { return m_criterion2; }
    QLineEdit* Value1() const { return m_value1; }
    QLineEdit* Value2() const { return m_value2; }
    QTableWidget* List() const { return m_list; }

protected:
    // Shows one match's result sheet modally; tests replace it.
    virtual void OpenResultSheet(const std::u16string& key, const std::u16string& gameNo,
                                 const std::u16string& court);

private:
    void ShowRows(const std::vector<ResultListRow>& rows);
    ResultSearchTerm Term(const QComboBox* criterion, QLineEdit* value) const;

    QComboBox* m_criterion1 = nullptr;
    QComboBox* m_criterion2 = nullptr;
    QLineEdit* m_value1 = nullptr;
    QLineEdit* m_value2 = nullptr;
    QTableWidget* m_list = nullptr;
};
