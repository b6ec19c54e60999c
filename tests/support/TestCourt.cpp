#include "tests/support/TestCourt.h"

#include "app/AppGlobals.h"

TestCourt::TestCourt() : m_savedAppDir(g_strAppDir) {
    g_strAppDir = home.widePath();
    CreateMatchData();
    md = g_pMatchData;
}

TestCourt::~TestCourt() {
    FreeMatchData();
    g_strAppDir = m_savedAppDir;
}
