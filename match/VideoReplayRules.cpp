#include "match/VideoReplayRules.h"

#include <algorithm>
#include <charconv>

namespace VideoReplayRules {

namespace {

std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        tokens.push_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return tokens;
        start = comma + 1;
    }
}

// A decimal number in [low, high] with nothing around it.
std::optional<int> Number(std::string_view token, int low, int high) {
    int value = 0;
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value);
    if (token.empty() || ec != std::errc{} || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<Decision> Fail(std::string* error, std::string reason) {
    if (error)
        *error = std::move(reason);
    return std::nullopt;
}

} // namespace

std::optional<Decision> ParseDecision(std::string_view text, std::string* error) {
    if (text.size() > kMaxDecisionText)
        return Fail(error, "longer than " + std::to_string(kMaxDecisionText) + " bytes");
    const std::vector<std::string_view> t = Split(text);
    if (t.size() != 6)
        return Fail(error, "not six tokens");
    Decision d;
    if (t[0] == "B" || t[0] == "R" || t[0] == "J")
        d.requester = t[0] == "B" ? 0 : t[0] == "R" ? 1 : kReferee;
    else
        return Fail(error, "unknown requester");
    if (t[1] == "B" || t[1] == "R")
        d.side = t[1] == "B" ? 0 : 1;
    else
        return Fail(error, "unknown side");
    if (t[2].size() != 1 || t[2][0] < 'A' || t[2][0] > 'Z')
        return Fail(error, "add or remove is not one letter");
    d.add = t[2] == "P";
    if (t[3] == "G") {
        d.change = Change::GamJeom;
    } else if (t[3] == "SG") {
        d.change = Change::DoubleGamJeom;
    } else if (t[3] == "C") {
        d.change = Change::Points; // an appeal to reject names no points
    } else if (const auto points = Number(t[3], 1, 8)) {
        d.points = *points;
    } else {
        return Fail(error, "unknown change");
    }
    if (t[4] == "A" || t[4] == "R")
        d.accepted = t[4] == "A";
    else
        return Fail(error, "result is neither accepted nor rejected");
    const auto category = Number(t[5], 0, 8);
    if (!category)
        return Fail(error, "category out of range");
    d.category = *category;
    d.summary = std::string(t[2]) + "," + std::string(t[3]) + "," + std::string(t[4]);
    d.requesterLetter = std::string(t[0]);
    d.sideLetter = std::string(t[1]);
    return d;
}

int DecisionPoints(const Decision& decision, int judgePointMiddle) {
    return decision.points == 5 && judgePointMiddle == -1 ? 6 : decision.points;
}

int QuotaLimit(int competitionType, int quota, int teamQuota) {
    return competitionType == 1 ? teamQuota : quota;
}

int QuotaUp(int remain, int limit) {
    return remain >= limit ? remain : std::max(remain + 1, 0);
}

int QuotaDown(int remain) {
    return std::max(remain - 1, 0);
}

int RequestJsonAction(int side) {
    return side == 0 ? 23 : 26;
}

std::vector<int> AcceptedJsonActions(const Decision& decision) {
    if (decision.requester == kReferee)
        return decision.side == 0 ? std::vector<int>{23, 24} : std::vector<int>{26, 27};
    return {decision.requester == 0 ? 24 : 27};
}

std::vector<int> RejectedJsonActions(const Decision& decision) {
    if (decision.requester == kReferee)
        return decision.side == 0 ? std::vector<int>{23, 25} : std::vector<int>{26, 28};
    return {decision.requester == 0 ? 25 : 28};
}

int RequestScreenMode(int side) {
    return side == 0 ? 4 : 5;
}

int AcceptedScreenMode(int requester) {
    return requester == 0 ? 0 : requester == 1 ? 1 : 8;
}

int RejectedScreenMode(int requester) {
    return requester == 0 ? 2 : requester == 1 ? 3 : 7;
}

} // namespace VideoReplayRules
