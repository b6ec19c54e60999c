// Gam-jeom penalties: given and taken back by the operator's buttons and keys and by the video-replay
// decision, each ending in the score event record that applies the gam-jeom limit.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/GamJeomRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "records/MatchRecords.h"

#include <QPushButton>

#include <algorithm>
#include <cassert>
#include <string>

using GamJeomRules::Op;

namespace {

constexpr std::u16string_view kEquipmentTestNotice =
    u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test Mode.";

std::u16string Num(int value) {
    return QString::number(value).toStdU16String();
}

// The buttons: which side, which operation, and the question a double gam-jeom asks first (none for a
// single one).
struct GamJeomButton {
    int id;
    int side;
    Op op;
    std::u16string_view question;
};
constexpr GamJeomButton kGamJeomButtons[] = {
    {1125, 0, Op::Add, {}},
    {1147, 0, Op::Remove, {}},
    {1283, 0, Op::AddDouble, u"CHUNG - Add Double Gam-Jeom"},
    {1293, 0, Op::RemoveDouble, u"CHUNG - Remove Double Gam-Jeom"},
    {1134, 1, Op::Add, {}},
    {1282, 1, Op::Remove, {}},
    {1294, 1, Op::AddDouble, u"HONG - Add Double Gam-Jeom"},
    {1295, 1, Op::RemoveDouble, u"HONG - Remove Double Gam-Jeom"},
};

void SendToOvr(CMainWnd& view, const MatchData& md, int side, const GamJeomRules::OpInfo& info) {
    using namespace ScoreRules;
    const std::u16string_view remove = info.removal ? u"Remove" : u"";
    const int code = info.removal ? 12 : 11;
    switch (md.nOvrSupplier) {
    case 0:
        view.SendControlCharEvent(6, SideLetter(side), info.ctrlSign, u"");
        break;
    case 2:
        view.SendColonEvent(code, SideWord(side), u"GJ", remove);
        break;
    case 7:
        view.SendPipeEvent(code, SideWord(side), u"GJ", remove);
        break;
    case 3:
        UpdateTournamentScore(2);
        break;
    case 4:
        view.SendBracketEvent(1, u"8", Num(info.weight * md.nGamJeomPoint), SideWordUpper(side));
        break;
    case 8:
        view.m_JsonQueue.Append(info.jsonAction[side]);
        break;
    default:
        break;
    }
}

void RunGamJeom(CMainWnd& view, int side, Op op) {
    if (side < 0 || side > 1) {
        assert(!"gam-jeom for a side that does not exist");
        DebugPrintf("gam-jeom for side %d dropped", side);
        return;
    }
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    if (md.nGameState == 13) {
        AfxMessageBox(kEquipmentTestNotice);
        return;
    }
    if (!ScoreRules::AdmitsRemoval(md.nGameState) || !GamJeomRules::Apply(md, side, op))
        return;
    const GamJeomRules::OpInfo& info = GamJeomRules::Info(op);
    const CMainWnd::LinkHold hold(view); // the notices wait for the event log's commit

    const auto [chung, hong] = GamJeomRules::ShownScores(md, op);
    if (info.soundAlways || md.bUseSoundEffect)
        PlaySound(AppPath(std::u16string(u"Sound/") + std::u16string(info.sound)));
    view.ShowScores(chung, hong);
    if (ScoreRules::UsesRoundWins(md) && md.bRoundOver)
        view.ShowRoundScores();
    const auto [chungCount, hongCount] = GamJeomRules::ShownCounts(md);
    view.UpdatePenaltyDisplay(chungCount, hongCount);

    SendToOvr(view, md, side, info);
    view.SendIvrMessage(4, ScoreRules::SideLetter(side), u"G", info.ivrSign, u"");
    view.RecordScoreEvent(view.m_strClockText, side, info.kind, info.removal ? 1 : 0, 0,
                          ScoreRules::kOperator, 0);
    view.SendWtMessage(0, 5, 0, 0);
    view.SendWtMessage(0, 4, 0, 0);
}

} // namespace

void CMainWnd::AddGamJeom(int side) {
    RunGamJeom(*this, side, Op::Add);
}

void CMainWnd::AddDoubleGamJeom(int side) {
    RunGamJeom(*this, side, Op::AddDouble);
}

void CMainWnd::RemoveGamJeom(int side) {
    RunGamJeom(*this, side, Op::Remove);
}

void CMainWnd::RemoveDoubleGamJeom(int side) {
    RunGamJeom(*this, side, Op::RemoveDouble);
}

void CMainWnd::OnClickedGamJeomButton(int id) {
    const auto button = std::ranges::find(kGamJeomButtons, id, &GamJeomButton::id);
    if (button == std::end(kGamJeomButtons) || !g_pMatchData)
        return;
    if (!button->question.empty()) {
        if (!ScoreRules::AdmitsRemoval(g_pMatchData->nGameState))
            return;
        if (MessageBox(GetSafeHwnd(), button->question, u"Information", MB_YESNO | MB_ICONINFORMATION) !=
            IDYES)
            return;
    }
    RunGamJeom(*this, button->side, button->op);
}

void CMainWnd::ConnectGamJeomButtons() {
    for (const GamJeomButton& button : kGamJeomButtons) {
        const int id = button.id;
        connect(Button(id), &QPushButton::clicked, this, [this, id] { OnClickedGamJeomButton(id); });
    }
}

void CMainWnd::OnClickedAddChungGamJeom() {
    AddGamJeom(0);
}

void CMainWnd::OnClickedAddHongGamJeom() {
    AddGamJeom(1);
}
