// "MATCH RESULT": one stored match from the local event log, its header, both players, totals and score
// summary. Print loads the match's event rows under the two check boxes and opens the print preview.
// User-interface thread only.
#pragma once

#include <QDialog>

#include <map>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

class CTK_ResDlg : public QDialog {
    Q_OBJECT
public:
    enum : int {
        IDC_PRINT = 1000,
        IDC_MATCH_NO = 1004,
        IDC_CHUNG_NAME = 1008,
        IDC_HONG_NAME = 1009,
        IDC_CHUNG_TOTAL = 1022,
        IDC_HONG_TOTAL = 1023,
        IDC_CHUNG_DEDUCT = 1030,
        IDC_SUMMARY = 1053,
        IDC_INCLUDE_ALL = 1054,
        IDC_HONG_DEDUCT = 1098,
        IDC_CHUNG_NATION = 1282,
        IDC_HONG_NATION = 1284,
        IDC_TITLE = 1364,
        IDC_CLASS = 1365,
        IDC_RESULT = 1366,
        IDC_DATE = 1367,
        IDC_HONG_ORIGIN = 1368,
        IDC_CHUNG_ORIGIN = 1369,
        IDC_VS = 1370,
        IDC_HONG_HEAD = 1371,
        IDC_CHUNG_HEAD = 1372,
        IDC_HONG_TRUNK = 1373,
        IDC_CHUNG_TRUNK = 1374,
        IDC_HONG_POINT = 1375,
        IDC_CHUNG_POINT = 1376,
        IDC_HEAD_GEAR = 1382,
        IDC_E_SOCKS = 1383,
    };

    // The match is given before the dialog runs.
    explicit CTK_ResDlg(QWidget* parent = nullptr);
    void SetMatch(const std::u16string& court, const std::u16string& gameNo, const std::u16string& key);

    // Reads the match row into the shared result row and shows it; false (nothing changed) without it.
    bool OnInitDialog();
    // Loads the event rows under the check boxes, closes and opens the print preview.
    void OnPrint();

    QLabel* Label(int id) const;
    QCheckBox* SummaryBox() const { return m_summary; }
    QCheckBox* IncludeAllBox() const { return m_includeAll; }

private:
    void FillResultSheet();
    QLabel* AddLabel(int id, const QString& text, int pixelSize, bool bold);

    std::u16string m_court, m_gameNo, m_key;
    std::map<int, QLabel*> m_labels;
    QCheckBox* m_summary = nullptr;
    QCheckBox* m_includeAll = nullptr;
};
