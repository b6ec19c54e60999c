#include "app/AppGlobals.h"
#include "app/MainFrame.h"
#include "app/MatchData.h"
#include "app/VeziruduzApp.h"
#include "platform/SingleInstance.h"
#include "tests/platform/EventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sqlite3.h>

namespace {

// Each test runs with its own program folder and its own runtime folder for the instance lock, so test
// binaries running side by side never see each other's lock.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("BELVANTA_HOME", home.path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    }
    void TearDown() override {
        unsetenv("BELVANTA_HOME");
        unsetenv("XDG_RUNTIME_DIR");
    }
    void makeDatabase() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(home.file("Vevuvurer.edi").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE GAMET (keyvalue TEXT)", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }

    TempHome home;
    QTemporaryDir runtime;
    ScriptedPrompter prompter;
};

TEST_F(StartupTest, StartsWithTheDatabaseOpenAndShowsTheMainWindow) {
    makeDatabase();
    CVeziruduzApp app;
    ASSERT_EQ(app.InitInstance(), TRUE);
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(g_strAppDir, home.widePath());
    EXPECT_EQ(app.m_dbLocal.bOpen, 1);
    ASSERT_NE(app.mainWindow(), nullptr);
    EXPECT_TRUE(app.mainWindow()->isVisible());
    EXPECT_EQ(app.mainWindow()->windowTitle(), QStringLiteral("Belvanta V2.0.18H"));
    EXPECT_NE(app.mainWindow()->view(), nullptr);
    EXPECT_NE(g_pMatchData, nullptr);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(g_pMatchData, nullptr);
}

TEST_F(StartupTest, TerminationSignalClosesTheMainWindowWithoutAsking) {
    makeDatabase();
    CVeziruduzApp app;
    ASSERT_EQ(app.InitInstance(), TRUE);
    ASSERT_TRUE(app.mainWindow()->isVisible());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(pumpUntil([&] { return !app.mainWindow()->isVisible(); }));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(StartupTest, SecondStartIsRefusedAndLeavesTheFirstAlone) {
    makeDatabase();
    platform::SingleInstanceLock first(CVeziruduzApp::kInstanceName);
    ASSERT_TRUE(first.acquired());

    CVeziruduzApp second;
    EXPECT_EQ(second.InitInstance(), FALSE);
    const auto boxes = prompter.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"This program has already started.");
    EXPECT_EQ(boxes[0].caption, u"VEZIRUDUZ");
    EXPECT_EQ(second.m_dbLocal.bOpen, 0);
    EXPECT_EQ(second.mainWindow(), nullptr);
    EXPECT_TRUE(first.acquired());
}

TEST_F(StartupTest, MissingDatabaseEndsStartUpWithOledbError) {
    CVeziruduzApp app;
    EXPECT_EQ(app.InitInstance(), FALSE);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"OLEDB Error"});
    EXPECT_EQ(app.mainWindow(), nullptr);
}

TEST_F(StartupTest, FallsBackToTheSecondProviderSilently) {
    makeDatabase();
    CAdoObject db;
    EXPECT_EQ(OpenLocalDatabase(db, home.path(), {"Microsoft.Missing.OLEDB.1.0", "Microsoft.ACE.OLEDB.12.0"}),
              TRUE);
    EXPECT_EQ(db.bOpen, 1);
    EXPECT_TRUE(prompter.boxes().empty());
}

} // namespace
