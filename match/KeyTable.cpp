#include "match/KeyTable.h"

namespace {

// The states in which the operator may give a gam-jeom: never while the round clock runs.
bool GamJeomState(int state) {
    return state == 2 || (state >= 4 && state <= 9);
}

KeyAction GamJeomAction(const KeyPressInput& in, KeyAction ask) {
    if (!in.matchLoaded)
        return KeyAction::None;
    if (in.equipmentTest)
        return KeyAction::EquipmentTestNotice;
    return GamJeomState(in.gameState) ? ask : KeyAction::None;
}

KeyAction StartStopAction(const KeyPressInput& in) {
    if (!in.matchLoaded)
        return KeyAction::None;
    switch (in.gameState) {
    case 1:
    case 2:
    case 6:
    case 7:
    case 8:
    case 9:
    case 15:
        return KeyAction::Start;
    case 3:
        return KeyAction::Stop;
    case 5:
        return KeyAction::PauseRest;
    case 14:
        return KeyAction::ResumeRest;
    default:
        return KeyAction::None;
    }
}

KeyDecision Decide(const KeyPressInput& in) {
    switch (in.key) {
    case ShortcutKey::Left:
        return {GamJeomAction(in, KeyAction::AskChungGamJeom), true};
    case ShortcutKey::Right:
        return {GamJeomAction(in, KeyAction::AskHongGamJeom), true};
    case ShortcutKey::Up:
    case ShortcutKey::Space:
        return {StartStopAction(in), true};
    default:
        break;
    }
    if (in.shiftAndZ)
        return {KeyAction::HidePopups, true};
    if (in.key == ShortcutKey::Down)
        return {KeyAction::KyeShi, false};
    return {KeyAction::None, false};
}

} // namespace

KeyDecision DecideKey(const KeyPressInput& in) {
    KeyDecision decision = Decide(in);
    if (in.autoRepeat)
        decision.action = KeyAction::None;
    return decision;
}
