#include "links/OvrMatchReply.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "links/LinkSlots.h"

#include <algorithm>
#include <initializer_list>

namespace OvrReply {

using ImportText::Put;

namespace {

const char16_t* const kNoOvrData =
    u"There is no received data from OVR system.\r\nPlease check the OVR connection!";
const char16_t* const kNoPreRegData = u"There is no received data from Pre-registration system.\r\nPlease "
                                      u"check the Pre-registration connection!";
const char16_t* const kOvrTooLong =
    u"The reply of the OVR system was too long (more than 1023 bytes) and was "
    u"not read.\r\nPlease check the OVR system!";
const char16_t* const kPreRegTooLong =
    u"The reply of the Pre-registration system was too long (more than 1023 "
    u"bytes) and was not read.\r\nPlease check the Pre-registration system!";

// The form controls the readers write.
enum Control : int {
    ChungStatic = 1008,
    HongStatic = 1009,
    LevelEdit = 1048,
    ContestEdit = 1050,
    ChungNationStatic = 1282,
    HongNationStatic = 1284,
    ChungNameEdit = 1302,
    ChungTeamEdit = 1303,
    HongNameEdit = 1304,
    HongTeamEdit = 1305,
};

ImportOutcome Refused(const char16_t* text) {
    ImportOutcome outcome;
    outcome.boxes.emplace_back(text);
    return outcome;
}

bool OvrUp(const MatchData& md) {
    return md.pOvrLink && md.bOvrConnected;
}

// The reply's fields; missing ones are empty.
struct Fields {
    Fields(std::string_view text, char separator, std::size_t count)
        : value(ImportText::Split(text, separator)) {
        value.resize(std::max(value.size(), count));
    }
    const std::string& operator[](std::size_t i) const { return value[i]; }
    bool Present(std::initializer_list<std::size_t> required) const {
        return std::all_of(required.begin(), required.end(),
                           [this](std::size_t i) { return !value[i].empty(); });
    }
    bool PresentRange(std::size_t first, std::size_t last) const {
        for (std::size_t i = first; i <= last; ++i)
            if (value[i].empty())
                return false;
        return true;
    }
    std::vector<std::string> value;
};

std::string Replaced(std::string_view text, std::initializer_list<std::pair<char, const char*>> tokens) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto token =
            std::find_if(tokens.begin(), tokens.end(), [c](const auto& pair) { return pair.first == c; });
        if (token == tokens.end())
            out += c;
        else
            out += token->second;
    }
    return out;
}

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// The text behind the first ':' of a field; the whole field when it has none.
std::string AfterColon(const std::string& field) {
    const std::size_t colon = field.find(':');
    return colon == std::string::npos ? field : field.substr(colon + 1);
}

std::string_view ClassName(std::string_view code, bool para) {
    if (code == "WSEN")
        return "Senior";
    if (code == "WCAD")
        return "Cadet";
    if (code == "WJUN")
        return "Junior";
    if (para && code == "WPAR")
        return "Para";
    if (code == "OLYG")
        return "Olympic";
    return code;
}

std::string_view PhaseName(std::string_view code) {
    static constexpr std::pair<std::string_view, std::string_view> kPhases[] = {
        {"Qualification", "Round of 128"},
        {"Preliminary", "Round of 64"},
        {"First Round", "Round of 32"},
        {"1/8 Final", "Round of 16"},
        {"Quarter Final", "Quarter-final"},
        {"SemiFinal", "Semi-final"},
        {"Final", "Final"},
    };
    for (const auto& [from, to] : kPhases)
        if (code == from)
            return to;
    return code;
}

// Both sides' nation codes looked up in the nation table, for the nationality combos.
void SelectNations(MatchData& md, ImportOutcome& outcome) {
    for (int side = 0; side < 2; ++side)
        outcome.nationRow[side] =
            ImportText::SelectNation(md, side, FieldText(md.aPlayer[side].szNationCode));
}

void ClearTeamEdits(ImportOutcome& outcome) {
    outcome.texts.emplace_back(ChungTeamEdit, "");
    outcome.texts.emplace_back(HongTeamEdit, "");
}

void Text(ImportOutcome& outcome, int id, std::string_view text) {
    outcome.texts.emplace_back(id, ImportText::Clean(text, 259));
}

} // namespace

ImportOutcome ReadGeneric(MatchData& md, bool team) {
    if (!OvrUp(md))
        return {};
    if (md.nOvrRecvOverflow != ReplyFits)
        return Refused(kOvrTooLong);
    const std::string_view reply = FieldText(md.szOvrRecv);
    if (reply.empty())
        return Refused(kNoOvrData);
    const std::string text = Replaced(reply, {{'\x01', "[SOH]"},
                                              {'\x12', "[DC2]"},
                                              {'\x10', "[DLE]"},
                                              {'\x13', "[DC3]"},
                                              {'\x02', "[STX]"},
                                              {'\x04', ""}});
    const Fields f(text, '|', 18);
    if (!f.PresentRange(0, 17))
        return Refused(kNoOvrData);
    ImportText::Checks check;
    const int replayChung =
        check.Text("Chung's video-replay quota (field 11)", f[11], ImportText::kReplayRange);
    const int replayHong =
        check.Text("Hong's video-replay quota (field 12)", f[12], ImportText::kReplayRange);
    const int body = check.Text("trunk level (field 13)", f[13], ImportText::kLevelRange);
    const int head = check.Text("head level (field 14)", f[14], ImportText::kLevelRange);
    const int punch = check.Text("punch level (field 15)", f[15], ImportText::kLevelRange);
    const int gamJeom = check.Text("gam-jeom limit (field 16)", f[16], ImportText::kGamJeomRange);
    const int pointGap = check.Text("point gap (field 17)", f[17], ImportText::kPointGapRange);
    if (check.Refused())
        return check.Refusal();

    ImportOutcome outcome;
    outcome.taken = true;
    Put(md.szContestNo, f[1]);
    if (f[2] == "M") {
        Put(md.szGender, "Male");
        outcome.genderItem = 0;
    } else if (f[2] == "W") {
        Put(md.szGender, "Female");
        outcome.genderItem = 1;
    } else if (team) {
        Put(md.szGender, "Mix");
        outcome.genderItem = 2;
    } else {
        Put(md.szGender, "Team");
    }
    Put(md.szWeight, f[3]);
    Put(md.szPhase, f[4]);
    Put(md.szWeightClass, " ");
    TTK_Player& chung = md.aPlayer[0];
    TTK_Player& hong = md.aPlayer[1];
    Put(chung.szExtId, f[5]);
    Put(chung.szName, f[6]);
    Put(chung.szNationCode, f[7]);
    Put(hong.szExtId, f[8]);
    Put(hong.szName, f[9]);
    Put(hong.szNationCode, f[10]);
    md.aSide[0].nVRRemain = md.nVRQuota = replayChung;
    md.aSide[1].nVRRemain = replayHong;
    md.nLevelBody = body;
    md.nLevelHead = head;
    md.nLevelPunch = punch;
    md.nGamJeom = gamJeom;
    md.nPointGap = pointGap;
    SelectNations(md, outcome);
    Text(outcome, ChungStatic, f[6]);
    Text(outcome, ChungNationStatic, f[7]);
    Text(outcome, HongStatic, f[9]);
    Text(outcome, HongNationStatic, f[10]);
    Text(outcome, LevelEdit, std::to_string(md.nLevelBody));
    ClearTeamEdits(outcome);
    return outcome;
}

ImportOutcome ReadCategory(MatchData& md, bool team) {
    if (!OvrUp(md))
        return {};
    if (md.nOvrRecvOverflow != ReplyFits)
        return Refused(kOvrTooLong);
    const std::string_view reply = FieldText(md.szOvrRecv);
    if (reply.empty())
        return Refused(kNoOvrData);
    std::string text(reply);
    std::erase_if(text, [](char c) { return c == '\x02' || c == '\x03'; });
    const Fields f(text, '|', 20);
    if (!f.PresentRange(0, 8) || !f.Present({10, 11, 13, 14, 15, 16, 19}))
        return Refused(kNoOvrData);
    ImportText::Checks check;
    const int rounds = check.Text("number of rounds (field 13)", f[13], ImportText::kRoundsRange);
    const int matchTime = check.Text("round time in seconds (field 14)", f[14], ImportText::kTimeRange);
    const int body = check.Text("trunk level (field 15)", f[15], ImportText::kLevelRange);
    const int head = check.Text("head level (field 16)", f[16], ImportText::kLevelRange);
    if (check.Refused())
        return check.Refusal();

    ImportOutcome outcome;
    outcome.taken = true;
    Put(md.szContestNo, f[3]);
    Put(md.szWeightClass, ClassName(f[4], false));
    const bool male = f[5] == "\xE7\x94\xB7\xE5\xAD\x90"; // 男子
    Put(md.szGender, male ? "Male" : "Female");
    outcome.genderItem = male ? 0 : 1;
    Put(md.szWeight, f[6]);
    TTK_Player& chung = md.aPlayer[0];
    TTK_Player& hong = md.aPlayer[1];
    Put(chung.szName, f[7]);
    Put(chung.szExtId, f[8]);
    Put(hong.szName, f[10]);
    Put(hong.szExtId, f[11]);
    md.nRound = rounds == 0 ? 3 : rounds;
    md.nMatchTime = matchTime;
    md.nLevelBody = body;
    if (!team)
        md.nLevelPunch = md.nLevelBody;
    md.nLevelHead = head;
    Text(outcome, ChungStatic, f[7]);
    Text(outcome, HongStatic, f[10]);
    Text(outcome, LevelEdit, std::to_string(md.nLevelBody));
    const bool teamNations = f[19] == "yes";
    const std::string& chungNation = teamNations ? f[17] : f[9];
    const std::string& hongNation = teamNations ? f[18] : f[12];
    Put(chung.szNationCode, chungNation);
    Put(hong.szNationCode, hongNation);
    Text(outcome, ChungNationStatic, chungNation);
    Text(outcome, HongNationStatic, hongNation);
    if (teamNations) {
        // Team codes name no nation: the sides show no nation rather than the previous players' ones.
        Text(outcome, ChungTeamEdit, chungNation);
        Text(outcome, HongTeamEdit, hongNation);
        for (int side = 0; side < 2; ++side)
            outcome.nationRow[side] = ImportText::SelectNationRow(md, side, 0);
    } else {
        SelectNations(md, outcome);
        ClearTeamEdits(outcome);
    }
    return outcome;
}

ImportOutcome ReadWeight(MatchData& md, bool team) {
    if (!OvrUp(md))
        return {};
    if (md.nOvrRecvOverflow != ReplyFits)
        return Refused(kOvrTooLong);
    const std::string_view reply = FieldText(md.szOvrRecv);
    if (reply.empty())
        return Refused(kNoOvrData);
    std::string text(reply);
    std::replace(text.begin(), text.end(), '\r', ',');
    std::replace(text.begin(), text.end(), '\n', ',');
    std::erase_if(text, [](char c) { return c == '\x02' || c == '\x03'; });
    const Fields f(text, ',', 16);
    if (!f.PresentRange(0, 15))
        return Refused(kNoOvrData);
    ImportText::Checks check;
    const int rounds = check.Text("number of rounds (field 11)", AfterColon(f[11]), ImportText::kRoundsRange);
    const int matchTime = check.Text("round time in seconds (field 12)", f[12], ImportText::kTimeRange);
    const int restTime = check.Text("rest time in seconds (field 13)", f[13], ImportText::kTimeRange);
    const int body = check.Text("trunk level (field 15)", f[15], ImportText::kLevelRange);
    if (check.Refused())
        return check.Refusal();

    ImportOutcome outcome;
    outcome.taken = true;
    Put(md.szContestNo, AfterColon(f[0]));
    Put(md.szOvrMatchKey, f[1]);
    Put(md.szWeightClass, ClassName(f[2], true));
    if (f[3] == "MEN") {
        Put(md.szGender, "Male");
        outcome.genderItem = 0;
    } else if (f[3] == "WOMEN") {
        Put(md.szGender, "Female");
        outcome.genderItem = 1;
    } else {
        Put(md.szGender, "Mixed");
        outcome.genderItem = 2;
    }
    const std::string& weight = f[4];
    const std::string kg = weight.size() <= 2 ? weight : weight.substr(weight.size() - 2);
    Put(md.szWeight, (weight[0] == 'U' ? "-" : "+") + kg + " kg");
    TTK_Player& chung = md.aPlayer[0];
    TTK_Player& hong = md.aPlayer[1];
    Put(chung.szName, AfterColon(f[5]));
    Put(chung.szExtId, f[6]);
    Put(chung.szNationCode, f[7]);
    Put(hong.szName, f[8]);
    Put(hong.szExtId, f[9]);
    Put(hong.szNationCode, f[10]);
    md.nRound = rounds == 0 ? 3 : rounds;
    md.nMatchTime = matchTime;
    md.nRestTime = restTime;
    // As the peer defines it: "yes" turns the team draw off.
    md.bTeamDrawUse = f[14] == "yes" ? 0 : 1;
    md.nLevelBody = body;
    if (!team)
        md.nLevelPunch = md.nLevelBody;
    SelectNations(md, outcome);
    Text(outcome, ChungStatic, AfterColon(f[5]));
    Text(outcome, ChungNationStatic, f[7]);
    Text(outcome, HongStatic, f[8]);
    Text(outcome, HongNationStatic, f[10]);
    Text(outcome, LevelEdit, std::to_string(md.nLevelBody));
    ClearTeamEdits(outcome);
    return outcome;
}

ImportOutcome ReadRin(MatchData& md, bool fromPreReg, bool team) {
    std::string_view reply;
    bool any = false;
    if (OvrUp(md) && md.nOvrSupplier == 0) {
        if (md.nOvrRecvOverflow != ReplyFits)
            return Refused(kOvrTooLong);
        reply = FieldText(md.szOvrRecv);
        if (reply.empty())
            return Refused(kNoOvrData);
        any = true;
    }
    if (md.pPreRegLink && md.bPreRegConnected) {
        if (md.nPreRegRecvOverflow != ReplyFits)
            return Refused(kPreRegTooLong);
        reply = FieldText(md.szPreRegRecv);
        if (reply.empty())
            return Refused(kNoPreRegData);
        any = true;
    }
    if (!any)
        return {};
    const std::string text = Replaced(reply, {{'\x01', "[SOH]"},
                                              {'\x12', "[DC2]"},
                                              {'\x10', "[DLE]"},
                                              {'\x13', "[DC3]"},
                                              {'\x02', "[STX]"},
                                              {'\x04', "[EOT]"}});
    const std::size_t kindField = team ? 38 : 26;
    const Fields f(text, '|', kindField + 1);
    bool complete = f.PresentRange(0, 21) && f.Present({kindField});
    if (!md.bOnlyMatchInfo && md.nPSSType == 1)
        complete = complete && f.Present({22, 24});
    else if (!md.bOnlyMatchInfo && md.nPSSType == 2)
        complete = complete && f.PresentRange(22, 25);
    if (!complete)
        return Refused(kNoOvrData);
    const bool match = !fromPreReg && md.nOvrSupplier != 4; // the reply names the match, not only devices
    ImportText::Checks check;
    int replay[2] = {}, body = 0, head = 0;
    if (match) {
        replay[0] = check.Text("Chung's video-replay quota (field 18)", f[18], ImportText::kReplayRange);
        replay[1] = check.Text("Hong's video-replay quota (field 19)", f[19], ImportText::kReplayRange);
        body = check.Text("trunk level (field 20)", f[20], ImportText::kLevelRange);
        head = check.Text("head level (field 21)", f[21], ImportText::kLevelRange);
    }
    if (check.Refused())
        return check.Refusal();

    ImportOutcome outcome;
    outcome.taken = true;
    // The echo texts go back in the program's own records.
    const std::vector<std::string> court = ImportText::Split(f[0], ']');
    const auto last =
        std::find_if(court.rbegin(), court.rend(), [](const std::string& s) { return !s.empty(); });
    Put(md.szLinkTag[1], last == court.rend() ? std::string() : *last);
    static constexpr int kEchoed[] = {1, 2, 3, 4, 5, 7, 12, 15};
    for (int i = 0; i < 8; ++i)
        Put(md.szLinkTag[2 + i], f[kEchoed[i]]);
    Put(md.szLinkTag[0], f[kindField].substr(0, f[kindField].find('[')));
    outcome.confirm = true;

    if (match) {
        Put(md.szContestNo, f[7]);
        Text(outcome, ContestEdit, f[7]);
        Put(md.szWeightClass, f[8]);
        Put(md.szGender, f[9]);
        outcome.genderItem = f[9] == "M" ? 0 : 1;
        std::string weight = f[10];
        if (f[9] == "M")
            weight = ReplaceAll(weight, "Male", "");
        else if (f[9] == "W")
            weight = ReplaceAll(weight, "Female", "");
        Put(md.szWeight, weight);
        Put(md.szPhase, PhaseName(f[11]));
        const std::string chungName = ImportText::FirstCharacters(f[13], 12);
        const std::string hongName = ImportText::FirstCharacters(f[16], 12);
        Put(md.aPlayer[0].szName, chungName);
        Text(outcome, ChungNameEdit, chungName);
        Put(md.aPlayer[0].szNationCode, f[14]);
        Put(md.aPlayer[1].szName, hongName);
        Text(outcome, HongNameEdit, hongName);
        Put(md.aPlayer[1].szNationCode, f[17]);
        SelectNations(md, outcome);
        md.aSide[0].nVRRemain = replay[0];
        md.aSide[1].nVRRemain = replay[1];
        md.nLevelBody = body;
        if (!team)
            md.nLevelPunch = md.nLevelBody;
        md.nLevelHead = head;
        ClearTeamEdits(outcome);
    }
    // The device addresses: Chung and Hong, or every team slot in order (trunk, head).
    const int players = team ? 8 : 2;
    for (int slot = 0; slot < players; ++slot) {
        Put(md.aPlayer[slot].szMacBody, f[22 + 2 * slot]);
        Put(md.aPlayer[slot].szMacHead, f[23 + 2 * slot]);
    }
    outcome.showKeep = fromPreReg ? 1 : 0;
    outcome.notify = !fromPreReg;
    return outcome;
}

} // namespace OvrReply
