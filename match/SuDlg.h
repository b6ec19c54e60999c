// The "Configuration" dialog: three pages on a tab control, the Rule page, the External page (links to
// outside systems) and the Division / Level page. "Apply" saves the three pages, "Okay" saves them and
// closes, "Close" closes without saving, "Default" (shown on the division page only) refills the division
// page from the factory levels.
//
// The External page belongs to the links folder: CreateExternalPage builds it into ExternalTab() and
// SaveExternalPage saves it (both in their own source file, so the page drops in without touching this
// dialog).
//
// Thread: user-interface thread.
#pragma once

#include <QDialog>

class CTK_DivWnd;
class CTK_RuleWnd;
class QPushButton;
class QTabWidget;
struct MatchData;

class CTK_SuDlg : public QDialog {
    Q_OBJECT
public:
    enum : int {
        IDOK_ = 1,
        IDCLOSE_ = 2,
        IDC_DEFAULT = 1000,
        IDC_TAB = 1249,
        IDC_APPLY = 1271,
        IDC_VERSION = 1338,
    };
    static constexpr int kWidth = 643;
    static constexpr int kHeight = 720;

    // UI thread. The record must outlive the dialog. The pages are made here (the dialog's OnInitDialog).
    explicit CTK_SuDlg(MatchData* md, QWidget* parent = nullptr);
    ~CTK_SuDlg() override;

    // Places the dialog on the operator's monitor by the rule of the court program.
    void PlaceOnScreen();

    // "Apply": saves the three pages; false when a page refused its values (nothing of that page saved).
    bool OnApply();
    void OnOkay();
    void OnDefault();
    void OnTabChanged(int index);

    CTK_RuleWnd* RulePage() const { return m_pRuleWnd; }
    CTK_DivWnd* DivisionPage() const { return m_pDivWnd; }
    QWidget* ExternalTab() const { return m_pExternalTab; }
    QTabWidget* Tabs() const { return m_pTabs; }
    QPushButton* DefaultButton() const { return m_pDefault; }

private:
    // The External page of the links folder, built into ExternalTab(); and its save.
    void CreateExternalPage();
    void SaveExternalPage();

    MatchData* m_pMatch;
    QTabWidget* m_pTabs = nullptr;
    CTK_RuleWnd* m_pRuleWnd = nullptr;
    QWidget* m_pExternalTab = nullptr;
    QWidget* m_pExternalPage = nullptr; // the External page once the links folder builds it
    CTK_DivWnd* m_pDivWnd = nullptr;
    QPushButton* m_pDefault = nullptr;
};
