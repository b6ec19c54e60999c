#include "match/KeyTable.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const char* Name(KeyAction action) {
    switch (action) {
    case KeyAction::None:
        return "None";
    case KeyAction::AskChungGamJeom:
        return "AskChungGamJeom";
    case KeyAction::AskHongGamJeom:
        return "AskHongGamJeom";
    case KeyAction::EquipmentTestNotice:
        return "EquipmentTestNotice";
    case KeyAction::Start:
        return "Start";
    case KeyAction::Stop:
        return "Stop";
    case KeyAction::PauseRest:
        return "PauseRest";
    case KeyAction::ResumeRest:
        return "ResumeRest";
    case KeyAction::HidePopups:
        return "HidePopups";
    case KeyAction::KyeShi:
        return "KyeShi";
    }
    return "?";
}

} // namespace

void PrintTo(const KeyDecision& d, std::ostream* os) {
    *os << Name(d.action) << (d.consumed ? ", consumed" : ", passed on");
}

namespace {

using enum ShortcutKey;
using enum KeyAction;

constexpr bool kLoaded = true;
constexpr bool kNoMatch = false;

struct Case {
    const char* name;
    ShortcutKey key;
    bool shiftAndZ;
    bool autoRepeat;
    int state;
    bool loaded;
    bool equipmentTest;
    KeyDecision want;
};

TEST(KeyTable, KeysActInTheirStatesAndAreConsumedOrPassedOn) {
    const Case cases[] = {
        // gam-jeom keys
        {"Left between rounds asks for Chung",
         Left,
         false,
         false,
         2,
         kLoaded,
         false,
         {AskChungGamJeom, true}},
        {"Left after a stop asks for Chung", Left, false, false, 8, kLoaded, false, {AskChungGamJeom, true}},
        {"Left at the golden-point tie", Left, false, false, 4, kLoaded, false, {AskChungGamJeom, true}},
        {"Left in the injury count", Left, false, false, 9, kLoaded, false, {AskChungGamJeom, true}},
        {"Right asks for Hong", Right, false, false, 7, kLoaded, false, {AskHongGamJeom, true}},
        {"Left while the round runs asks nothing", Left, false, false, 3, kLoaded, false, {None, true}},
        {"Right before the first start", Right, false, false, 1, kLoaded, false, {None, true}},
        {"Right in the coach time-out", Right, false, false, 10, kLoaded, false, {None, true}},
        {"Left in the equipment test", Left, false, false, 13, kLoaded, true, {EquipmentTestNotice, true}},
        {"Right in the equipment test", Right, false, false, 13, kLoaded, true, {EquipmentTestNotice, true}},
        {"Left without a match", Left, false, false, 2, kNoMatch, false, {None, true}},
        {"Left without a match in the equipment test", Left, false, false, 13, kNoMatch, true, {None, true}},
        // start and stop keys without a match
        {"Space without a match", Space, false, false, 3, kNoMatch, false, {None, true}},
        {"Up without a match", Up, false, false, 1, kNoMatch, false, {None, true}},
        // Shift+Z
        {"Shift+Z hides the pop-ups", Other, true, false, 3, kLoaded, false, {HidePopups, true}},
        {"Shift+Z without a match", Other, true, false, 0, kNoMatch, false, {HidePopups, true}},
        {"Shift+Z with Down hides and does not count",
         Down,
         true,
         false,
         3,
         kLoaded,
         false,
         {HidePopups, true}},
        {"Space with Shift+Z held stops", Space, true, false, 3, kLoaded, false, {Stop, true}},
        {"Left with Shift+Z held asks", Left, true, false, 2, kLoaded, false, {AskChungGamJeom, true}},
        // Down goes on
        {"Down counts the injury", Down, false, false, 3, kLoaded, false, {KyeShi, false}},
        {"Down without a match still reaches the count",
         Down,
         false,
         false,
         0,
         kNoMatch,
         false,
         {KyeShi, false}},
        // other keys go on untouched
        {"Other key", Other, false, false, 3, kLoaded, false, {None, false}},
        {"Other key without a match", Other, false, false, 0, kNoMatch, false, {None, false}},
        // a held key acts once
        {"held Space stays consumed but does not toggle",
         Space,
         false,
         true,
         3,
         kLoaded,
         false,
         {None, true}},
        {"held Left asks once", Left, false, true, 2, kLoaded, false, {None, true}},
        {"held Down goes on without counting again", Down, false, true, 3, kLoaded, false, {None, false}},
        {"held Shift+Z", Other, true, true, 3, kLoaded, false, {None, true}},
        {"held other key", Other, false, true, 3, kLoaded, false, {None, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecideKey({c.key, c.shiftAndZ, c.autoRepeat, c.state, c.loaded, c.equipmentTest}), c.want);
    }
}

TEST(KeyTable, StartKeysFollowTheGameState) {
    // nGameState 0..15: Up and Space alike, always consumed with a match loaded.
    const KeyAction byState[] = {None,  Start, Start, Stop, None, PauseRest, Start,      Start,
                                 Start, Start, None,  None, None, None,      ResumeRest, Start};
    for (const ShortcutKey key : {Up, Space}) {
        for (int state = 0; state < 16; ++state) {
            SCOPED_TRACE(::testing::Message() << (key == Up ? "Up" : "Space") << " in state " << state);
            const KeyDecision want{byState[state], true};
            EXPECT_EQ(DecideKey({key, false, false, state, kLoaded, state == 13}), want);
        }
    }
}

} // namespace
