// One court for a test: a fresh program folder that the program uses as its own, a fresh match record, and
// message boxes answered by a script. Fixtures derive from it; as a base it outlives their members, so a
// view made by the fixture is gone before the record is freed.
#pragma once

#include "app/MatchData.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <string>

class TestCourt {
protected:
    TestCourt();
    ~TestCourt();

    TempHome home;
    ScriptedPrompter prompter;
    MatchData* md = nullptr;

private:
    std::u16string m_savedAppDir;
};
