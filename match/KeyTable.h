// The operator's keyboard shortcuts as a decision table: what a key press asks the operator view to do and
// whether the key stops there or goes on to the focused control. Pure; any thread.
#pragma once

// The keys the table knows; every other key is Other.
enum class ShortcutKey { Left, Right, Up, Down, Space, Other };

enum class KeyAction {
    None,
    AskChungGamJeom,     // "CHUNG - Add Gam-Jeom", on Yes the Chung gam-jeom button
    AskHongGamJeom,      // "HONG - Add Gam-Jeom", on Yes the Hong gam-jeom button
    EquipmentTestNotice, // the equipment test refuses the gam-jeom with its notice
    Start,               // start, resume or the next round
    Stop,                // stop the running round clock
    PauseRest,           // stop the rest countdown (state 14)
    ResumeRest,          // run the rest countdown again (state 5)
    HidePopups,          // hide the public pop-ups
    KyeShi,              // the injury count
};

// One key press and the match it meets.
struct KeyPressInput {
    ShortcutKey key = ShortcutKey::Other;
    bool shiftAndZ = false;     // Shift is held and the Z key is down
    bool autoRepeat = false;    // a held key repeating
    int gameState = 0;          // MatchData::nGameState
    bool matchLoaded = false;   // szContestNo is not empty
    bool equipmentTest = false; // the equipment test is running
};

struct KeyDecision {
    KeyAction action = KeyAction::None;
    bool consumed = false; // the key goes no further than the table
    bool operator==(const KeyDecision&) const = default;
};

// The arrows, Space and Shift+Z are consumed even where they do nothing, so a focused button never takes
// Space for a click; Down acts and goes on; other keys go on untouched. A repeating key acts only on its
// first press: holding Space must not start and stop the clock in turn.
KeyDecision DecideKey(const KeyPressInput& in);
