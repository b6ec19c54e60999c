#include "links/WtMatchImport.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <QString>

#include <algorithm>

namespace WtMatchImport {

namespace {

using ImportText::Put;
using Value = rapidjson::Value;

const char16_t* const kNoOvrData =
    u"There is no received data from OVR system.\r\nPlease check the OVR connection!";

// Typed members: null when the member is missing or of another type.
const Value* Member(const Value* object, const char* name) {
    if (!object || !object->IsObject())
        return nullptr;
    const auto found = object->FindMember(name);
    return found == object->MemberEnd() ? nullptr : &found->value;
}
const Value* Object(const Value* object, const char* name) {
    const Value* v = Member(object, name);
    return v && v->IsObject() ? v : nullptr;
}
std::optional<std::string> String(const Value* object, const char* name) {
    const Value* v = Member(object, name);
    if (!v || !v->IsString())
        return std::nullopt;
    return std::string(v->GetString(), v->GetStringLength());
}
std::optional<int> Int(const Value* object, const char* name) {
    const Value* v = Member(object, name);
    if (!v || !v->IsInt())
        return std::nullopt;
    return v->GetInt();
}

// The id of relationships.<name>.data, when data is an object with a string id.
std::optional<std::string> RelationId(const Value* relationships, const char* name) {
    return String(Object(Object(relationships, name), "data"), "id");
}

struct Competitor {
    bool found = false;
    std::string id, printName, tvName, name, country;
};

struct Event {
    std::string division, gender, weightCategory, discipline;
    std::optional<std::string> sportClass;
};

struct Configuration {
    bool bestOf3 = false;
    int rounds = 0;
    int roundTime = 0, restTime = 0, injuryTime = 0;
    int body = 0, head = 0;
    std::optional<int> punch, quotaHome, quotaAway;
    bool golden = false;
    std::optional<int> goldenTime;
    std::optional<int> maxDifference, maxPenalties;
    std::vector<std::u16string> notes;
    ImportText::Checks check; // a value outside what the operator may type refuses the match
};

// One element of "data" with what "included" holds for it, read whole before anything is written.
struct ApiMatch {
    std::string id, number, phase;
    std::optional<Event> event;
    Competitor side[2];
    std::optional<Configuration> configuration;
};

std::optional<Event> ReadEvent(const Value& element) {
    const Value* a = Object(&element, "attributes");
    Event e;
    const auto division = String(a, "division");
    const auto gender = String(a, "gender");
    const auto weight = String(a, "weightCategory");
    const auto discipline = String(a, "discipline");
    if (!division || !gender || !weight || !discipline)
        return std::nullopt;
    e.division = *division;
    e.gender = *gender;
    e.weightCategory = *weight;
    e.discipline = *discipline;
    e.sportClass = String(a, "sportClass");
    return e;
}

std::optional<Competitor> ReadCompetitor(const Value& element, const std::string& id, bool home, bool team) {
    const Value* a = Object(&element, "attributes");
    Competitor c;
    c.found = true;
    c.id = id;
    const auto country = String(a, "country");
    if (!country)
        return std::nullopt;
    c.country = *country;
    if (team) {
        const auto initial = String(a, "scoreboardInitialName");
        const auto print = String(a, "printName");
        if (!initial || (home && !print))
            return std::nullopt;
        c.name = *initial;
        c.printName = print.value_or("");
        return c;
    }
    const auto shortName = String(a, home ? "printName" : "tvName");
    if (!shortName)
        return std::nullopt;
    (home ? c.printName : c.tvName) = *shortName;
    c.name = String(a, "scoreboardInitialName").value_or(String(a, "scoreboardName").value_or("No Name"));
    return c;
}

std::optional<Configuration> ReadConfiguration(const Value& element, bool team) {
    const Value* a = Object(&element, "attributes");
    Configuration c;
    const Value* rules = Member(a, "rules");
    if (rules && rules->IsString()) {
        c.bestOf3 = std::string_view(rules->GetString(), rules->GetStringLength()).find("BESTOF3") !=
                    std::string_view::npos;
    } else if (rules && rules->IsArray()) {
        for (const Value& rule : rules->GetArray())
            c.bestOf3 =
                c.bestOf3 || (rule.IsString() &&
                              std::string_view(rule.GetString(), rule.GetStringLength()).find("BESTOF3") !=
                                  std::string_view::npos);
    } else {
        return std::nullopt;
    }
    using namespace ImportText;
    const auto rounds = Int(a, "rounds");
    const Value* timing = Object(a, "timing");
    const auto round = String(timing, "round");
    const auto rest = String(timing, "rest");
    const auto injury = String(timing, "injury");
    const Value* thresholds = Object(a, "thresholds");
    const auto body = Int(thresholds, "body");
    const auto head = Int(thresholds, "head");
    const Value* golden = Object(a, "goldenPoint");
    const Value* enabled = Member(golden, "enabled");
    if (!rounds || !round || !rest || !injury || !body || !head || !enabled)
        return std::nullopt;
    // A time is checked in seconds; one that is no "mm:ss" at all is refused as well.
    const auto seconds = [&c](const char* field, const std::string& text) {
        const std::optional<int> value = MinSecText(text);
        if (!value) {
            c.check.NotANumber(field, text, kTimeRange);
            return 0;
        }
        return c.check.Number(field, *value, kTimeRange);
    };
    c.rounds = c.check.Number("MatchConfiguration - rounds", *rounds, kRoundsRange);
    c.rounds = c.rounds == 0 ? 3 : c.rounds;
    c.roundTime = seconds("MatchConfiguration - timing - round (in seconds)", *round);
    c.restTime = seconds("MatchConfiguration - timing - rest (in seconds)", *rest);
    c.injuryTime = seconds("MatchConfiguration - timing - injury (in seconds)", *injury);
    c.body = c.check.Number("MatchConfiguration - thresholds - body", *body, kLevelRange);
    c.head = c.check.Number("MatchConfiguration - thresholds - head", *head, kLevelRange);
    if (const auto punch = Int(thresholds, "punch"))
        c.punch = c.check.Number("MatchConfiguration - thresholds - punch", *punch, kLevelRange);
    const Value* quota = Object(a, "videoReplayQuota");
    if (const auto home = Int(quota, "home"))
        c.quotaHome = c.check.Number("MatchConfiguration - videoReplayQuota - home", *home, kReplayRange);
    if (const auto away = Int(quota, "away"))
        c.quotaAway = c.check.Number("MatchConfiguration - videoReplayQuota - away", *away, kReplayRange);
    c.golden = enabled->IsBool() && enabled->GetBool();
    if (c.golden) {
        c.goldenTime = MinSecText(String(golden, "time").value_or(""));
        if (!c.goldenTime)
            c.notes.emplace_back(u"Please check the 'MatchConfiguration - goldenPoint - time' data");
        else
            c.goldenTime = c.check.Number("MatchConfiguration - goldenPoint - time (in seconds)",
                                          *c.goldenTime, kTimeRange);
    }
    const auto limit = [&](const char* name, const char16_t* missing,
                           const char16_t* wrong) -> std::optional<int> {
        if (!Member(a, name)) {
            c.notes.emplace_back(missing);
            return std::nullopt;
        }
        const auto value = Int(a, name);
        if (!value)
            c.notes.emplace_back(wrong);
        return value;
    };
    c.maxDifference = limit("maxDifference", u"There is no 'MatchConfiguration - maxDifference' member",
                            u"Please check the 'MatchConfiguration - maxDifference' data");
    if (c.maxDifference)
        c.maxDifference =
            c.check.Number("MatchConfiguration - maxDifference", *c.maxDifference, kPointGapRange);
    if (!team)
        c.maxPenalties = limit("maxPenalties", u"There is no 'MatchConfiguration - maxPenalties' member",
                               u"Please check the 'MatchConfiguration - maxPenalties' data");
    if (c.maxPenalties)
        c.maxPenalties = c.check.Number("MatchConfiguration - maxPenalties", *c.maxPenalties, kGamJeomRange);
    return c;
}

// The element as a match of this court, or nothing when it is not one or lacks what it needs.
std::optional<ApiMatch> ReadMatch(const Value& element, const Value* included, const MatchData& md,
                                  bool byNumber, std::string_view number, bool team) {
    const Value* a = Object(&element, "attributes");
    const auto status = String(Object(a, "schedule"), "status");
    const auto mat = Int(a, "mat");
    const auto text = String(a, "number");
    const auto phase = String(a, "phase");
    const auto id = String(&element, "id");
    if (!status || *status != "SCHEDULED" || !mat || *mat != md.nCourtNo || !text || !phase || !id)
        return std::nullopt;
    if (byNumber && *text != number)
        return std::nullopt;
    const Value* relationships = Object(&element, "relationships");
    for (const char* name :
         {"homeCompetitor", "awayCompetitor", "refereeAssignment", "event", "matchConfiguration"})
        if (!Object(relationships, name))
            return std::nullopt;
    ApiMatch m;
    m.id = *id;
    m.number = *text;
    m.phase = *phase;
    const std::optional<std::string> sideId[2] = {RelationId(relationships, "homeCompetitor"),
                                                  RelationId(relationships, "awayCompetitor")};
    const auto eventId = RelationId(relationships, "event");
    const auto configurationId = RelationId(relationships, "matchConfiguration");
    if (!included || !included->IsArray())
        return m;
    for (const Value& item : included->GetArray()) {
        const auto type = String(&item, "type");
        const auto itemId = String(&item, "id");
        if (!type || !itemId)
            continue;
        if (*type == "events" && *itemId == eventId) {
            m.event = ReadEvent(item);
            if (!m.event)
                return std::nullopt;
        } else if (*type == "competitors") {
            for (int side = 0; side < 2; ++side) {
                if (*itemId != sideId[side])
                    continue;
                const auto competitor = ReadCompetitor(item, *itemId, side == 0, team);
                if (!competitor)
                    return std::nullopt;
                m.side[side] = *competitor;
            }
        } else if (*type == "match-configurations" && *itemId == configurationId) {
            m.configuration = ReadConfiguration(item, team);
            if (!m.configuration)
                return std::nullopt;
        }
    }
    return m;
}

std::optional<std::string_view> PhaseText(std::string_view code, bool team) {
    static constexpr std::pair<std::string_view, std::string_view> kPhases[] = {
        {"QF", "Quarterfinals"},         {"SF", "Semifinals"},     {"F", "Final"},
        {"BMC", "Bronze Medal Contest"}, {"R256", "Round of 256"}, {"R128", "Round of 128"},
        {"R64", "Round of 64"},          {"R32", "Round of 32"},   {"R16", "Round of 16"},
    };
    if (team && code == "QF")
        return "Quarter-final";
    if (team && code == "SF")
        return "Semi-final";
    for (const auto& [from, to] : kPhases)
        if (code == from)
            return to;
    return std::nullopt;
}

void Apply(MatchData& md, const ApiMatch& m, bool team, ImportOutcome& outcome) {
    Put(md.szMatchId, m.id);
    Put(md.szContestNo, m.number);
    if (const auto phase = PhaseText(m.phase, team))
        Put(md.szPhase, *phase);
    if (m.event) {
        const Event& e = *m.event;
        Put(md.szWeightClass, e.division);
        Put(md.szGender, e.gender);
        Put(md.szWeight, e.weightCategory);
        Put(md.szDiscipline, e.discipline);
        if (team)
            SharedStore(md.nCompetitionType, 1);
        else if (e.discipline == "Para Veziruduz Kyorugi")
            SharedStore(md.nCompetitionType, 2);
        else if (e.discipline == "Veziruduz Kyorugi")
            SharedStore(md.nCompetitionType, 0);
        if (e.sportClass)
            Put(md.szSportClass, *e.sportClass);
    }
    for (int side = 0; side < 2; ++side) {
        // A side the list names no competitor for is emptied: the previous player never stays.
        const Competitor& c = m.side[side];
        TTK_Player& player = md.aPlayer[side];
        if (side == 0 || !team)
            Put(player.szShortName, side == 0 ? c.printName : c.tvName);
        Put(player.szName, c.found || team ? c.name : "No Name");
        Put(player.szNationCode, c.country);
        Put(player.szExtId, c.id);
        outcome.nationRow[side] = ImportText::SelectNation(md, side, c.country);
    }
    if (m.configuration) {
        const Configuration& c = *m.configuration;
        md.nCompetitionRule = c.bestOf3 ? 1 : 0;
        md.nRound = c.rounds;
        md.nMatchTime = c.roundTime;
        md.nRestTime = c.restTime;
        md.nKyeShiTime = c.injuryTime;
        md.nLevelBody = c.body;
        md.nLevelHead = c.head;
        md.nLevelPunch = c.punch.value_or(c.body);
        if (c.quotaHome)
            md.aSide[0].nVRRemain = *c.quotaHome;
        if (c.quotaAway)
            md.aSide[1].nVRRemain = *c.quotaAway;
        md.bGoldenPoint = c.golden ? 1 : 0;
        if (c.goldenTime)
            md.nGRndMatchTime = md.nTeamGRndMatchTime = *c.goldenTime;
        if (c.maxDifference)
            md.nPointGap = *c.maxDifference;
        if (c.maxPenalties)
            md.nGamJeom = *c.maxPenalties;
        outcome.boxes.insert(outcome.boxes.end(), c.notes.begin(), c.notes.end());
    }
}

} // namespace

std::optional<int> MinSecText(std::string_view text) {
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.size() <= 6 &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return digits(text) ? std::optional<int>(ImportText::Decimal(text)) : std::nullopt;
    const std::string_view minutes = text.substr(0, colon);
    const std::string_view seconds = text.substr(colon + 1);
    if (!digits(minutes) || !digits(seconds))
        return std::nullopt;
    return 60 * ImportText::Decimal(minutes) + ImportText::Decimal(seconds);
}

ImportOutcome Load(MatchData& md, std::string_view reply, bool byNumber, std::string_view number, bool team) {
    ImportOutcome outcome;
    if (reply.empty()) {
        outcome.boxes.emplace_back(kNoOvrData);
        return outcome;
    }
    rapidjson::Document document;
    document.Parse(reply.data(), reply.size());
    if (document.HasParseError()) {
        outcome.boxes.push_back(
            QString::fromLatin1(rapidjson::GetParseError_En(document.GetParseError())).toStdU16String());
        return outcome;
    }
    const Value* data = Member(&document, "data");
    if (!data || !data->IsArray()) {
        outcome.boxes.emplace_back(u"Invalid data");
        return outcome;
    }
    const Value* included = Member(&document, "included");
    for (const Value& element : data->GetArray()) {
        const std::optional<ApiMatch> match = ReadMatch(element, included, md, byNumber, number, team);
        if (!match)
            continue;
        // The match of this court has a value the operator could not type: it is not loaded, nor another.
        if (match->configuration && match->configuration->check.Refused())
            return match->configuration->check.Refusal();
        outcome.taken = true;
        Apply(md, *match, team, outcome);
        outcome.texts.emplace_back(1303, "");
        outcome.texts.emplace_back(1305, "");
        return outcome;
    }
    outcome.boxes.emplace_back(u"There is no scheduled match.");
    return outcome;
}

} // namespace WtMatchImport
