// The division and level page: levels between the grids and WeightDiv.ini, the factory levels, the change
// question when the division changes, and the refusal of a level that is not a whole number 0..100.
#include "app/IniFiles.h"
#include "app/WeightDivisions.h"
#include "controls/DataGrid.h"
#include "match/DivWnd.h"
#include "match/DivisionLevels.h"
#include "tests/support/TestCourt.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>

namespace {

// Two divisions: "Senior" with two classes per gender, "Cadet" with none.
constexpr char kDivisions[] =
    "[Division]\r\nNumber=2\r\nCurrent_Division=0\r\nName_0=Senior\r\nName_1=Cadet\r\n"
    "[Senior_Male]\r\nCat_Number=2\r\nCat_Name_0=-54kg\r\nCat_kg_0=54\r\nCat_lb_0=119\r\n"
    "Cat_Name_1=-58kg\r\nCat_kg_1=58\r\nCat_lb_1=128\r\n"
    "Level_Body_0=20\r\nLevel_Head_0=10\r\nLevel_Punch_0=5\r\nLevel_Body_1=22\r\nLevel_Head_1=11\r\nLevel_"
    "Punch_1=6\r\n"
    "[Senior_Female]\r\nCat_Number=2\r\nCat_Name_0=-46kg\r\nCat_kg_0=46\r\nCat_lb_0=101\r\n"
    "Cat_Name_1=-49kg\r\nCat_kg_1=49\r\nCat_lb_1=108\r\n"
    "Level_Body_0=15\r\nLevel_Head_0=8\r\nLevel_Punch_0=4\r\nLevel_Body_1=16\r\nLevel_Head_1=9\r\nLevel_"
    "Punch_1=4\r\n"
    "[Cadet_Male]\r\nCat_Number=0\r\n[Cadet_Female]\r\nCat_Number=0\r\n";
constexpr char kFactory[] =
    "[Senior_Male]\r\nLevel_Body_0=30\r\nLevel_Head_0=31\r\nLevel_Punch_0=32\r\nLevel_Body_1=33\r\nLevel_"
    "Head_1=34\r\n"
    "Level_Punch_1=35\r\n[Senior_Female]\r\nLevel_Body_0=40\r\nLevel_Head_0=41\r\nLevel_Punch_0=42\r\n"
    "Level_Body_1=43\r\nLevel_Head_1=44\r\nLevel_Punch_1=45\r\n";

class DivisionPageTest : public TestCourt, public ::testing::Test {
protected:
    DivisionPageTest() {
        home.write("ini/WeightDiv.ini", kDivisions);
        home.write("ini/WeightDiv_init.ini", kFactory);
        LoadWeightDivisions(*md);
    }
    ~DivisionPageTest() override { FreeWeightDivisions(*md); }

    int Saved(const char16_t* section, const char16_t* key) {
        return ReadIniInt(section, key, u"WeightDiv.ini");
    }
    int Level(int table, int k) { return *LevelEntry(*md, table, 0, k); }
};

TEST(LevelText, OnlyWholeNumbersFromZeroToAHundredAreLevels) {
    const struct {
        const char* text;
        std::optional<int> level;
    } cases[] = {{"0", 0},   {"100", 100}, {" 25 ", 25}, {"101", {}},
                 {"-1", {}}, {"2.5", {}},  {"", {}},     {"abc", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseLevel(QString::fromLatin1(c.text)), c.level) << c.text;
}

TEST_F(DivisionPageTest, GridsShowTheClassesAndSaveTheirLevelsAsNumbers) {
    CGridModel male;
    SetUpLevelGrid(male);
    FillLevelGrid(male, *md, 0, 0, false);
    ASSERT_EQ(male.GetRowCount(), 3);
    EXPECT_EQ(male.GetItemText(0, kPunchColumn), "Punch");
    EXPECT_EQ(male.GetItemText(2, kDivisionColumn), "-58kg");
    EXPECT_EQ(male.GetItemText(2, kWeightColumn), "58 / 128");
    EXPECT_EQ(male.GetItemText(2, kHeadColumn), "11");
    EXPECT_TRUE(male.GetItemState(1, kWeightColumn) & DGIS_READONLY);
    EXPECT_FALSE(LevelsDiffer(male, *md, 0, 0));

    male.SetItemText(2, kHeadColumn, "12");
    EXPECT_TRUE(LevelsDiffer(male, *md, 0, 0));
    ASSERT_TRUE(SaveLevelGrid(male, *md, 0, 0));
    EXPECT_EQ(Level(1, 1), 12);
    EXPECT_EQ(Saved(u"Senior_Male", u"Level_Head_1"), 12);
    EXPECT_EQ(Saved(u"Senior_Male", u"Level_Body_0"), 20);

    // Loaded again from the file, the saved level is there.
    LoadWeightDivisions(*md);
    EXPECT_EQ(Level(1, 1), 12);
}

TEST_F(DivisionPageTest, FactoryLevelsFillTheGridsOnlyUntilTheyAreSaved) {
    CTK_DivWnd page(md);
    EXPECT_EQ(page.CurrentDivision(), 0);
    page.ShowDivision(0, 1);
    EXPECT_EQ(page.MaleGrid()->GetItemText(1, kBodyColumn), "30");
    EXPECT_EQ(page.FemaleGrid()->GetItemText(2, kPunchColumn), "45");
    EXPECT_EQ(Level(0, 0), 20) << "the live table waits for the save";
    EXPECT_EQ(Saved(u"Senior_Male", u"Level_Body_0"), 20);
    EXPECT_EQ(page.LevelsChanged(), 1);
    page.SaveLevels();
    EXPECT_EQ(Level(0, 0), 30);
    EXPECT_EQ(Level(5, 1), 45);
    EXPECT_EQ(Saved(u"Senior_Female", u"Level_Punch_1"), 45);
    EXPECT_EQ(page.LevelsChanged(), 0);
}

TEST_F(DivisionPageTest, ChangingOnlyAFemaleLevelAsksBeforeTheDivisionChanges) {
    CTK_DivWnd page(md);
    page.FemaleGrid()->SetItemText(1, kHeadColumn, "9");
    prompter.answer(IDNO);
    page.OnSelchangeDivision(1);
    ASSERT_EQ(prompter.texts(),
              std::vector<std::string>{"Some datas have changed.\nDo you want save current data?"});
    EXPECT_EQ(prompter.boxes().front().caption, u"Informaton");
    EXPECT_EQ(Level(4, 0), 8) << "No discards the change";
    EXPECT_EQ(page.MaleGrid()->GetRowCount(), 1) << "a division without classes shows only the header";

    page.OnSelchangeDivision(0);
    EXPECT_EQ(prompter.texts().size(), 1u) << "nothing changed, nothing asked";
    page.FemaleGrid()->SetItemText(1, kHeadColumn, "9");
    prompter.answer(IDYES);
    page.OnSelchangeDivision(1);
    EXPECT_EQ(Level(4, 0), 9);
    EXPECT_EQ(Saved(u"Senior_Female", u"Level_Head_0"), 9);
}

TEST_F(DivisionPageTest, ALevelOutsideTheRangeTypedIntoACellIsRefused) {
    CTK_DivWnd page(md);
    page.resize(520, 500);
    page.show();
    CDataGrid* grid = page.MaleGrid();
    grid->SetFocusCell(1, kBodyColumn);
    grid->OnEditCell(1, kBodyColumn, QPoint(-1, -1), '1');
    QLineEdit* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("101");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &enter);
    EXPECT_EQ(grid->GetItemText(1, kBodyColumn), "20");
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts().front(), "Please enter an integer between 0 and 100.");

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    grid->OnEditCell(1, kBodyColumn, QPoint(-1, -1), '7');
    editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QCoreApplication::sendEvent(editor, &enter);
    EXPECT_EQ(grid->GetItemText(1, kBodyColumn), "7");
}

} // namespace
