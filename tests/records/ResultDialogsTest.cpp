// The result browser and the result sheet dialogs offscreen, over a real database made from the shipped
// schema: the list at start, the criteria, the searches, the deletions and the sheet's texts.
#include "app/AppGlobals.h"
#include "app/DbTemp.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/VeziruduzApp.h"
#include "records/PrintFlow.h"
#include "records/ResultBrowserDlg.h"
#include "records/ResultSheetDlg.h"
#include "screens/OperatorLayout.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kFixture = R"(
INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,hname,cnation,hnation,cfrom,hfrom,sex,face,valid,
  weight,weight1,chungpoint,hongpoint,cpoint,hpoint,cfacepoint,cbodypoint,hfacepoint,hbodypoint,cdeduct,
  hdeduct,win) VALUES
  ('1','007','2024-05-06 09:00:00','K07','KIM','LEE','KOR','none','KOR','Busan','M',1,0,'-58kg','Senior',
   3,1,1,0,1,1,0,1,0,1,'KIM (PTF)'),
  ('1','012','2024-05-06 10:00:00','K12','PARK','KIM','KOR','KOR','','','F',0,1,'-49kg','Junior',
   2,5,0,0,0,2,1,3,1,0,'KIM (PTF)'),
  ('2','012','2024-05-06 10:05:00','K12B','O''NEIL','SMITH','IRL','USA','','','M',0,0,'-68kg','Senior',
   4,4,0,0,0,0,0,0,0,0,'O''NEIL'),
  ('1','021','2024-05-07 08:15:00','K21','LEE','PARK','KOR','KOR','','','M',0,0,'-80kg','Senior',
   1,0,0,0,0,0,0,0,0,0,'LEE (PTF)');
INSERT INTO CHUNGLOG(keyvalue,round,rtime,point,judge1,itemvalid,ptime,dbindex) VALUES
  ('K07','1','1:00',2,0,1,0,1), ('K07','1','0:50',0,0,0,0,3), ('K07','2','0:40',0,3,1,0,5);
INSERT INTO HONGLOG(keyvalue,round,rtime,deduct,itemvalid,ptime,dbindex) VALUES
  ('K07','1','0:55',1,1,0,2), ('K12','1','0:30',1,1,0,1);
)";

std::vector<std::string> Keys(const QTableWidget* list) {
    std::vector<std::string> keys;
    for (int r = 0; r < list->rowCount(); ++r)
        keys.push_back(list->item(r, CTK_ResViewDlg::kKeyColumn)->text().toStdString());
    return keys;
}

// The browser with the opening of a sheet recorded instead of shown.
class Browser : public CTK_ResViewDlg {
public:
    std::vector<std::string> opened;

protected:
    void OpenResultSheet(const std::u16string& key, const std::u16string& gameNo,
                         const std::u16string& court) override {
        opened.push_back(QString::fromStdU16String(key + u"/" + gameNo + u"/" + court).toStdString());
    }
};

class ResultDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        CreateMatchData();
        ASSERT_EQ(home.makeLocalDatabase(kFixture), "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    }
    void TearDown() override {
        theApp.m_dbLocal.Close();
        FreeMatchData();
        for (auto& slot : g_strResultRow)
            slot.clear();
    }
    int Rows(const char* sql) {
        theApp.m_dbLocal.Select("%s", sql);
        return theApp.m_dbLocal.nRows;
    }

    TempHome home;
    ScriptedPrompter prompter{IDNO};
};

TEST_F(ResultDialogs, BrowserOpensOnTheNewestMatch) {
    Browser browser;
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K21"}));
    EXPECT_EQ(browser.List()->item(0, 7)->text().toStdString(), "05/07-08:15");
    EXPECT_EQ(browser.List()->item(0, 2)->foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(browser.List()->item(0, 5)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(browser.List()->item(0, 6)->foreground().style(),
              Qt::NoBrush); // other cells in the default black
    EXPECT_FALSE(browser.Criterion2()->isEnabled());
    EXPECT_FALSE(browser.Value2()->isEnabled());
}

TEST_F(ResultDialogs, BrowserCriteriaAndSearch) {
    Browser browser;
    browser.Criterion1()->setCurrentIndex(1); // Match No.
    EXPECT_TRUE(browser.Criterion2()->isEnabled());
    EXPECT_TRUE(browser.Value2()->isEnabled());
    ASSERT_EQ(browser.Criterion2()->count(), 2);
    EXPECT_EQ(browser.Criterion2()->itemText(0).toStdString(), "Court No.");
    EXPECT_EQ(browser.Criterion2()->itemText(1).toStdString(), "Name");
    browser.Value1()->setText(QStringLiteral("12"));
    browser.OnSearch();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K12B", "K12"}));
    browser.Criterion2()->setCurrentIndex(1); // Name, either side
    browser.Value2()->setText(QStringLiteral("KIM"));
    browser.OnSearch();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K12"}));
    browser.Value1()->clear();
    browser.OnSearch();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K12", "K07"}));
    browser.Criterion1()->setCurrentIndex(2); // Name: the second list offers the other two
    EXPECT_EQ(browser.Criterion2()->itemText(0).toStdString(), "Court No.");
    EXPECT_EQ(browser.Criterion2()->itemText(1).toStdString(), "Match No.");
    browser.Value1()->setText(QStringLiteral("O'NEIL"));
    browser.OnSearch();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K12B"}));
    browser.LoadLatest();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K21"}));
}

TEST_F(ResultDialogs, RemoveAllOnlyAfterYes) {
    Browser browser;
    prompter.answer(IDNO);
    browser.OnRemoveAll();
    EXPECT_EQ(Rows("SELECT * FROM GAMET"), 4);
    EXPECT_EQ(browser.List()->rowCount(), 1);
    prompter.answer(IDYES);
    browser.OnRemoveAll();
    ASSERT_EQ(prompter.texts().size(), 2u);
    EXPECT_EQ(prompter.texts()[0],
              "Are you sure to delete all game infomation?\r\nIf you select \"Yes\", then all "
              "game information will be deleted!");
    EXPECT_EQ(QString::fromStdU16String(prompter.boxes()[0].caption).toStdString(), "Information");
    EXPECT_EQ(prompter.boxes()[0].flags & 0xf, MB_YESNO);
    EXPECT_EQ(browser.List()->rowCount(), 0);
    for (const char* sql : {"SELECT * FROM GAMET", "SELECT * FROM CHUNGLOG", "SELECT * FROM HONGLOG"})
        EXPECT_EQ(Rows(sql), 0) << sql;
}

TEST_F(ResultDialogs, DeletingSelectedRowsTakesTheirEvents) {
    Browser browser;
    browser.OnSearch(); // no criterion: every match
    ASSERT_EQ(Keys(browser.List()), (std::vector<std::string>{"K21", "K12B", "K12", "K07"}));
    browser.List()->setSelectionMode(QAbstractItemView::MultiSelection);
    browser.List()->selectRow(2);
    browser.List()->selectRow(3);
    browser.OnDeleteSelected();
    EXPECT_EQ(Keys(browser.List()), (std::vector<std::string>{"K21", "K12B"}));
    EXPECT_EQ(Rows("SELECT * FROM GAMET"), 2);
    EXPECT_EQ(Rows("SELECT * FROM CHUNGLOG"), 0);
    EXPECT_EQ(Rows("SELECT * FROM HONGLOG"), 0);
}

TEST_F(ResultDialogs, DoubleClickOpensTheSelectedMatch) {
    Browser browser;
    browser.OnSearch();
    browser.List()->clearSelection();
    browser.OnDblclkResultList(); // nothing selected: the first row is selected, nothing opens
    EXPECT_TRUE(browser.opened.empty());
    browser.OnDblclkResultList();
    EXPECT_EQ(browser.opened, (std::vector<std::string>{"K21/021/1"}));
    browser.List()->selectRow(3);
    browser.OnDblclkResultList();
    EXPECT_EQ(browser.opened.back(), "K07/007/1");
}

TEST_F(ResultDialogs, SheetShowsTheMatch) {
    CTK_ResDlg sheet;
    sheet.SetMatch(u"1", u"007", u"K07");
    ASSERT_TRUE(sheet.OnInitDialog());
    const auto text = [&](int id) { return sheet.Label(id)->text().toStdString(); };
    EXPECT_EQ(text(CTK_ResDlg::IDC_CLASS), "-58kg Senior (M)");
    EXPECT_EQ(text(CTK_ResDlg::IDC_MATCH_NO), "Match No.007");
    EXPECT_EQ(text(CTK_ResDlg::IDC_DATE), "2024-05-06 09:00");
    EXPECT_EQ(text(CTK_ResDlg::IDC_RESULT), "KIM (PTF)");
    EXPECT_EQ(text(CTK_ResDlg::IDC_CHUNG_NAME), "KIM");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_NAME), "LEE");
    EXPECT_EQ(text(CTK_ResDlg::IDC_CHUNG_ORIGIN), ""); // same as the nation
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_ORIGIN), "< Busan >");
    EXPECT_EQ(text(CTK_ResDlg::IDC_CHUNG_NATION), "KOR");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_NATION), ""); // "none"
    EXPECT_EQ(text(CTK_ResDlg::IDC_CHUNG_TOTAL), "3");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_TOTAL), "1");
    EXPECT_EQ(text(CTK_ResDlg::IDC_CHUNG_HEAD), "1");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_TRUNK), "1");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HONG_DEDUCT), "1");
    EXPECT_EQ(text(CTK_ResDlg::IDC_HEAD_GEAR), "(O)");
    EXPECT_EQ(text(CTK_ResDlg::IDC_E_SOCKS), "(X)");

    CTK_ResDlg missing;
    missing.SetMatch(u"9", u"999", u"K99");
    EXPECT_FALSE(missing.OnInitDialog());
    EXPECT_EQ(g_strResultRow[14], u"KIM");
}

TEST_F(ResultDialogs, PrintLoadsTheFilteredEventsAndPreviewsThem) {
    struct Case {
        bool summary, includeAll;
        std::vector<std::string> chung; // dbindex of the rows loaded
    };
    const Case cases[] = {
        {true, true, {"1"}},            // Summary wins: no judge-only or uncounted events
        {false, true, {"1", "3", "5"}}, // every event
        {false, false, {"1", "5"}},     // counted events only
    };
    for (const Case& c : cases) {
        int previews = 0;
        int closeNoAskDuringPreview = -1;
        const PreviewRunner previous = SetPreviewRunner([&](QPrintPreviewDialog& preview) {
            ++previews;
            closeNoAskDuringPreview = g_pMatchData->bCloseNoAsk;
            preview.reject(); // the operator closes it
        });
        CTK_ResDlg sheet;
        sheet.SetMatch(u"1", u"007", u"K07");
        ASSERT_TRUE(sheet.OnInitDialog());
        sheet.SummaryBox()->setChecked(c.summary);
        sheet.IncludeAllBox()->setChecked(c.includeAll);
        sheet.OnPrint();
        SetPreviewRunner(previous);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<std::string> chung;
        for (const TTK_DbTemp& row : *g_pChungLog)
            chung.push_back(QString::fromStdU16String(row.dbindex).toStdString());
        EXPECT_EQ(chung, c.chung) << c.summary << c.includeAll;
        ASSERT_EQ(g_pHongLog->size(), 1u);
        EXPECT_EQ(g_pHongLog->front().dbindex, u"2");
        EXPECT_EQ(previews, 1);
        EXPECT_EQ(closeNoAskDuringPreview, 1);
        EXPECT_EQ(g_pMatchData->bCloseNoAsk, 0); // a later close mid-match asks again
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
    }
}

TEST_F(ResultDialogs, CloseWithoutAskingIsClearedWhenThePreviewFails) {
    const PreviewRunner previous =
        SetPreviewRunner([](QPrintPreviewDialog&) { throw std::runtime_error("no printer"); });
    EXPECT_THROW(ShowResultPreview(nullptr), std::runtime_error);
    SetPreviewRunner(previous);
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 0);
}

TEST_F(ResultDialogs, TheViewsResultButtonOpensTheBrowserAndCtrlPThePrintDialog) {
    const std::u16string savedAppDir = g_strAppDir;
    g_strAppDir = home.widePath();
    {
        CMainWnd view;
        view.SetupControls();
        std::vector<std::string> seen; // the modal dialog each command opened, with what it showed
        auto closeModal = [&] {
            QTimer::singleShot(0, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* browser = qobject_cast<CTK_ResViewDlg*>(modal))
                    seen.push_back("browser " + Keys(browser->List()).at(0));
                else if (qobject_cast<QPrintDialog*>(modal))
                    seen.push_back("print dialog");
                else
                    seen.push_back("none");
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
            });
        };
        QPushButton* button = view.Button(OperatorIds::ResultView);
        EXPECT_EQ(button->text(), "Result View");
        EXPECT_FALSE(button->isHidden());
        closeModal();
        button->click();

        QShortcut* print = nullptr;
        for (QShortcut* shortcut : view.findChildren<QShortcut*>())
            if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_P))
                print = shortcut;
        ASSERT_NE(print, nullptr);
        closeModal();
        emit print->activated();
        EXPECT_EQ(seen, (std::vector<std::string>{"browser K21", "print dialog"}));
        EXPECT_EQ(g_pMatchData->bCloseNoAsk, 0); // printing directly never skips the close question
    }
    g_strAppDir = savedAppDir;
}

TEST_F(ResultDialogs, ThePreviewOutlivesTheDialogsAndTheCloseAsksAgainWhenTheLastOneEnds) {
    QWidget mainWindow;
    auto* browser = new QDialog(&mainWindow);
    std::vector<QPointer<QPrintPreviewDialog>> previews;
    const PreviewRunner previous =
        SetPreviewRunner([&](QPrintPreviewDialog& preview) { previews.emplace_back(&preview); });
    for (int i = 0; i < 2; ++i) {
        CTK_ResDlg sheet(browser);
        sheet.SetMatch(u"1", u"007", u"K07");
        ASSERT_TRUE(sheet.OnInitDialog());
        sheet.OnPrint();
    }
    SetPreviewRunner(previous);
    ASSERT_EQ(previews.size(), 2u);
    delete browser; // the operator closes the browser: the previews stay
    for (const auto& preview : previews) {
        ASSERT_TRUE(preview);
        EXPECT_EQ(preview->parentWidget(), &mainWindow);
        EXPECT_EQ(preview->windowModality(), Qt::NonModal); // the main window can still be closed
    }
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 1); // and closes without asking

    previews[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(previews[0]);
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 1); // one preview is still open
    previews[1]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 0);

    // A preview that goes with the main window ends the same way.
    auto* window = new QWidget;
    auto* sheetParent = new QDialog(window);
    SetPreviewRunner([](QPrintPreviewDialog&) {});
    ShowResultPreview(sheetParent);
    SetPreviewRunner(previous);
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 1);
    delete window;
    EXPECT_EQ(g_pMatchData->bCloseNoAsk, 0);
}

} // namespace
