// Points: the only way a side's score changes, from the operator's buttons, the protectors and the judges.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "records/MatchRecords.h"

#include <QPushButton>

#include <algorithm>
#include <cassert>
#include <string>

using namespace ScoreRules;

namespace {

constexpr std::u16string_view kEquipmentTestNotice =
    u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test Mode.";

std::u16string Num(int value) {
    return QString::number(value).toStdU16String();
}

void PlayEffect(std::u16string_view file) {
    PlaySound(AppPath(std::u16string(u"Sound/") + std::u16string(file)));
}

MatchData* PointRecord(int side) {
    if (side < 0 || side > 1) {
        assert(!"point for a side that does not exist");
        DebugPrintf("point for side %d dropped", side);
        return nullptr;
    }
    return g_pMatchData;
}

// nScore follows the round scores of the rounds played.
void SumRounds(const MatchData& md, TTK_SideScore& s) {
    s.nScore = 0;
    for (int i = 0; i <= RoundIndex(md); ++i)
        s.nScore += s.nRoundScore[i];
}

void Raise(TTK_SideScore& s, int r, const Tallies& change) {
    for (int row = 0; row < kTallyRows; ++row)
        s.nTechTally[row][r] += change[row];
}

// A removal never takes a tally below zero.
void Lower(TTK_SideScore& s, int r, const Tallies& change) {
    for (int row = 0; row < kTallyRows; ++row)
        s.nTechTally[row][r] = std::max(0, s.nTechTally[row][r] - change[row]);
}

void ShowPointScores(CMainWnd& view, const MatchData& md) {
    const auto [chung, hong] = DisplayedScores(md);
    view.ShowScores(chung, hong);
}

void RepaintRoundScores(CMainWnd& view, const MatchData& md) {
    if (UsesRoundWins(md) && md.bRoundOver)
        view.ShowRoundScores();
}

void ShowHitCounts(CMainWnd& view, const MatchData& md) {
    const int slot = std::max(0, HitCounterSlot(md));
    view.UpdateHitCount(md.aSide[0].nPssHits[slot], md.aSide[1].nPssHits[slot]);
}

// The hit-level history type of a device point; 0 for kinds the history does not show.
int HitLevelType(int kind) {
    switch (kind) {
    case kPunch:
    case kValidPunch:
        return 3;
    case kTrunk:
        return 1;
    case kHead:
        return 2;
    default:
        return 0;
    }
}

// Point buttons: which side, add or remove, which kind and value, and when they work.
enum class ButtonValue { Bottom, Trunk, Head, Zero, Technical };
enum class ButtonWhen { Always, NotType2, RoundWinsOrGolden };
struct PointButton {
    int id;
    int side;
    bool add;
    int kind;
    ButtonValue value;
    ButtonWhen when;
};
constexpr PointButton kPointButtons[] = {
    {1119, 0, true, kPunch, ButtonValue::Bottom, ButtonWhen::NotType2},
    {1142, 0, false, kPunch, ButtonValue::Bottom, ButtonWhen::NotType2},
    {1120, 0, true, kTrunk, ButtonValue::Trunk, ButtonWhen::Always},
    {1143, 0, false, kTrunk, ButtonValue::Trunk, ButtonWhen::Always},
    {1122, 0, true, kHead, ButtonValue::Head, ButtonWhen::NotType2},
    {1145, 0, false, kHead, ButtonValue::Head, ButtonWhen::NotType2},
    {1124, 0, true, kTrunkHit, ButtonValue::Zero, ButtonWhen::RoundWinsOrGolden},
    {1146, 0, false, kTrunkHit, ButtonValue::Zero, ButtonWhen::RoundWinsOrGolden},
    {1430, 0, true, kTechnical, ButtonValue::Technical, ButtonWhen::Always},
    {1144, 0, false, kTechnical, ButtonValue::Technical, ButtonWhen::Always},
    {1128, 1, true, kPunch, ButtonValue::Bottom, ButtonWhen::NotType2},
    {1148, 1, false, kPunch, ButtonValue::Bottom, ButtonWhen::NotType2},
    {1129, 1, true, kTrunk, ButtonValue::Trunk, ButtonWhen::Always},
    {1277, 1, false, kTrunk, ButtonValue::Trunk, ButtonWhen::Always},
    {1131, 1, true, kHead, ButtonValue::Head, ButtonWhen::NotType2},
    {1280, 1, false, kHead, ButtonValue::Head, ButtonWhen::NotType2},
    {1133, 1, true, kTrunkHit, ButtonValue::Zero, ButtonWhen::RoundWinsOrGolden},
    {1281, 1, false, kTrunkHit, ButtonValue::Zero, ButtonWhen::RoundWinsOrGolden},
    {1431, 1, true, kTechnical, ButtonValue::Technical, ButtonWhen::Always},
    {1279, 1, false, kTechnical, ButtonValue::Technical, ButtonWhen::Always},
};

bool ButtonWorks(const MatchData& md, ButtonWhen when) {
    switch (when) {
    case ButtonWhen::NotType2:
        return md.nCompetitionType != 2;
    case ButtonWhen::RoundWinsOrGolden:
        return UsesRoundWins(md) || IsGoldenRound(md);
    case ButtonWhen::Always:
        break;
    }
    return true;
}

int ButtonPoints(const MatchData& md, ButtonValue value) {
    switch (value) {
    case ButtonValue::Bottom:
        return md.nJudgePointBottom;
    case ButtonValue::Trunk:
        return md.nEBPPoint;
    case ButtonValue::Head:
        return md.nEHPPoint;
    case ButtonValue::Zero:
    case ButtonValue::Technical:
        break;
    }
    return 0;
}

} // namespace

bool CMainWnd::AddPoint(std::u16string_view time, int source, int side, int kind, int value, int extra) {
    MatchData* record = PointRecord(side);
    if (!record)
        return false;
    MatchData& md = *record;
    if (md.nGameState == 13) {
        ShowTestHit(side, kind, extra);
        return false;
    }
    if (!AdmitsPoint(source, md.nGameState))
        return false;
    const bool trunkPending = m_bTrunkHit[side] != 0;
    const bool headPending = m_bHeadHit[side] != 0;
    value = AddedValue(md, value, extra, trunkPending, headPending);
    if (value < 0) {
        assert(!"negative point value");
        return false;
    }
    const std::u16string_view sideLetter = SideLetter(side);
    const LinkHold hold(*this); // the notices wait for the event log's commit

    if (IsHit(kind)) {
        const int slot = HitCounterSlot(md);
        if (slot >= 0 && (kind != kPunchHit || md.bUsePunch))
            md.aSide[side].nPssHits[slot] += 1;
        ShowHitCounts(*this, md);
        if (!UsesRoundWins(md) && source == kDevice)
            QueueScoredPoint(side, kind, kDevice, extra);
        SendIvrMessage(5, sideLetter, kind == kTrunkHit ? u"B" : u"H", Num(extra), u"");
    } else {
        TTK_SideScore& own = md.aSide[side];
        const int r = RoundIndex(md);
        own.nRoundScore[r] += value;
        SumRounds(md, own);
        Raise(own, r, AddedTallies(md, source, kind, value, extra, trunkPending, headPending));
        ShowPointScores(*this, md);
        RepaintRoundScores(*this, md);

        const std::u16string_view letter = TechniqueLetter(kind);
        if (md.bIvrConnected || (md.bOvrConnected && md.nOvrSupplier == 0))
            SendIvrMessage(4, sideLetter, Num(value), letter, Num(extra));

        int wtCode = 0;
        if (source != kOperator) {
            SendTvgMessage(md.nTvgSupplier, 2, sideLetter, Num(value), letter);
            QueueScoredPoint(side, kind, source, extra);
            if (const int type = HitLevelType(kind))
                ShowHitLevel(side, type, extra);
            if (md.bUseSoundEffect && md.nGameState == 3) {
                if (kind == kTrunk && (md.nPSSType == 1 || md.nPSSType == 2))
                    PlayEffect(u"hitbody.wav");
                else if (kind == kHead && md.nPSSType == 2)
                    PlayEffect(u"hithead.wav");
                if ((kind == kValidPunch && md.bUsePunch) || (kind == kPunch && !md.bUsePunch))
                    PlayEffect(u"hitfunch.wav");
            }
            wtCode = DeviceWtCode(md, kind, value, trunkPending, headPending);
        } else {
            if (md.bUseSoundEffect)
                PlayEffect(u"manualptadd.wav");
            const OperatorMarks marks = OperatorPointMarks(md, kind, extra);
            if (marks.queueKind >= 0)
                QueueScoredPoint(side, marks.queueKind, kOperator, marks.queueExtra);
            if (marks.scoredSlot)
                MarkSlotScored(side, marks.scoredSlot);
            if (marks.currentMarks)
                SetJudgeMarks(side, m_nCurrentSlot[side], marks.currentMarks);
            wtCode = marks.wtCode;
        }
        if (wtCode)
            SendWtMessage(0, 3, side, wtCode);

        switch (md.nOvrSupplier) {
        case 0:
            SendControlCharEvent(4, sideLetter, Num(value), letter);
            break;
        case 2:
        case 7: {
            const auto send = md.nOvrSupplier == 2 ? &CMainWnd::SendColonEvent : &CMainWnd::SendPipeEvent;
            if (kind == kTechnical)
                (this->*send)(10, SideWord(side), Num(value), u"");
            else
                (this->*send)(9, SideWord(side), ColonKindWord(kind), u"");
            break;
        }
        case 3:
            UpdateTournamentScore(side);
            break;
        case 4:
            SendBracketEvent(1, Num(BracketPointCode(kind)), Num(value), SideWordUpper(side));
            break;
        case 8: {
            bool handled = false;
            std::vector<int> actions;
            if (source == kOperator)
                actions = JsonOperatorActions(md, side, kind, extra, handled);
            if (!handled)
                actions = {JsonPointActionKind(side, kind)};
            // A protector's hit carries its level; the judges' and the operator's points none.
            const std::u16string level = source == kDevice && extra > 0 ? Num(extra) : std::u16string();
            for (const int action : actions)
                m_JsonQueue.Append(action, 0, level);
            break;
        }
        default:
            break;
        }
    }

    RecordScoreEvent(time, side, kind, 0, value, source, extra);
    const bool silentUnderRoundWins = IsZeroPunch(kind, value) || kind == kTrunkHit || kind == kHeadHit;
    if (!(UsesRoundWins(md) && silentUnderRoundWins))
        SendWtMessage(0, 4, 0, 0);
    return true;
}

bool CMainWnd::RemovePoint(std::u16string_view time, int side, int kind, int value, int extra) {
    MatchData* record = PointRecord(side);
    if (!record)
        return false;
    MatchData& md = *record;
    if (md.nGameState == 13) {
        AfxMessageBox(kEquipmentTestNotice);
        return false;
    }
    if (!AdmitsRemoval(md.nGameState))
        return false;
    value = RemovedValue(md, value, extra);
    if (value < 0) {
        assert(!"negative point value");
        return false;
    }
    TTK_SideScore& own = md.aSide[side];
    const LinkHold hold(*this); // the notices wait for the event log's commit

    if (kind == kTrunkHit || kind == kHeadHit) {
        const int slot = HitCounterSlot(md);
        if (slot < 0 || own.nPssHits[slot] <= 0)
            return false; // no hit counted: nothing to take back
        own.nPssHits[slot] -= 1;
        ShowHitCounts(*this, md);
        RecordScoreEvent(time, side, kind, 1, value, kOperator, extra);
        SendWtMessage(0, 4, 0, 0);
        return true;
    }

    const int r = RoundIndex(md);
    if (own.nRoundScore[r] < value)
        return false;
    own.nRoundScore[r] -= value;
    SumRounds(md, own);
    Lower(own, r, RemovalTallies(md, kind, value, extra));
    ShowPointScores(*this, md);
    if (md.bUseSoundEffect)
        PlayEffect(u"manualptrmv.wav");
    if (kind == kTechnical || (kind == kVideoReplay && (extra == 6 || extra == 7))) {
        ClearJudgeMarks(side, m_nCurrentSlot[side]);
    } else {
        ClearSlot(side, m_nCurrentSlot[side]);
        ResetSlotCursors(side);
    }
    RepaintRoundScores(*this, md);

    const std::u16string_view sideLetter = SideLetter(side);
    if (md.bIvrConnected)
        SendIvrMessage(4, sideLetter, Num(value), u"S", u"");
    switch (md.nOvrSupplier) {
    case 0:
        SendControlCharEvent(4, sideLetter, Num(value), u"S");
        break;
    case 2:
        SendColonEvent(10, SideWord(side), u"-" + Num(value), u"");
        break;
    case 7:
        SendPipeEvent(10, SideWord(side), u"-" + Num(value), u"");
        break;
    case 3:
        UpdateTournamentScore(side);
        break;
    case 4:
        SendBracketEvent(1, u"7", Num(value), SideWordUpper(side));
        break;
    case 8:
        m_JsonQueue.Append(JsonRemovalAction(side, kind, extra));
        break;
    default:
        break;
    }

    RecordScoreEvent(time, side, kind, 1, value, kOperator, extra);
    SendWtMessage(0, 4, 0, 0);
    return true;
}

void CMainWnd::ShowTestHit(int side, int kind, int level) {
    UpdateTestScreens(TestTileOfHit(side, kind), std::to_string(level));
}

void CMainWnd::ShowTestJudge(int tile, int a, int b) {
    UpdateTestScreens(tile, std::to_string(a) + "," + std::to_string(b));
}

void CMainWnd::OnClickedPointButton(int id) {
    const auto button = std::ranges::find(kPointButtons, id, &PointButton::id);
    if (button == std::end(kPointButtons) || !g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    m_nLastInputTime = 0;
    if (!ButtonWorks(md, button->when))
        return;
    const int side = button->side;
    const std::u16string time = m_strClockText;

    if (button->value == ButtonValue::Technical) {
        const int answer = MessageBox(GetSafeHwnd(), TechnicalPromptText(md, side, !button->add), {},
                                      MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer != IDYES && answer != IDNO)
            return;
        const int extra = answer == IDYES ? 2 : 3;
        const int value = TechnicalPointValue(md, extra);
        if (button->add)
            AddPoint(time, kOperator, side, kTechnical, value, extra);
        else if (HasTechnicalPoint(md, side, extra))
            RemovePoint(time, side, kTechnical, value, extra);
        return;
    }

    const int value = ButtonPoints(md, button->value);
    if (button->add) {
        AddPoint(time, kOperator, side, button->kind, value, 0);
        return;
    }
    if (!RemovePoint(time, side, button->kind, value, 0))
        return;
    // In the golden round a removed point also leaves the judges' slot queue.
    const bool hitButton = button->kind == kTrunkHit;
    if (IsGoldenRound(md) && !(hitButton && UsesRoundWins(md))) {
        ClearSlot(side, m_nCurrentSlot[side]);
        StepBackSlotCursors(side, button->kind);
    }
}

void CMainWnd::ConnectPointButtons() {
    for (const PointButton& button : kPointButtons) {
        const int id = button.id;
        connect(Button(id), &QPushButton::clicked, this, [this, id] { OnClickedPointButton(id); });
    }
}
