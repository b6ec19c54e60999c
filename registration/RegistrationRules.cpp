#include "registration/RegistrationRules.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "app/WeightDivisions.h"
#include "platform/DebugOutput.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Registration {

namespace {

constexpr int kMinRoundSeconds = 10;
constexpr int kMaxRoundSeconds = 599;
constexpr int kMaxRoundMs = 599999;
constexpr int kAddressDigits = 16;
constexpr int kMaxListAddresses = 6;

std::u16string U16(const char* text) {
    return QString::fromUtf8(text).toStdU16String();
}

std::string Utf8(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text)).toStdString();
}

bool IsHex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsAddress(std::u16string_view text) {
    return text.size() == kAddressDigits && std::all_of(text.begin(), text.end(), IsHex);
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

// Decimal value of the leading digits (after blanks); 0 when there are none. Overlong runs saturate.
int LeadingNumber(std::u16string_view text) {
    text = Trimmed(text);
    long value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(value * 10 + (c - u'0'), 1000000L);
    }
    return static_cast<int>(value);
}

// A bounded copy into a fixed narrow field, cut on a character boundary of the UTF-8 text.
template <std::size_t N> void Put(char (&field)[N], std::string_view text) {
    std::size_t n = std::min(text.size(), N - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    if (n > 0)
        std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

template <std::size_t N> void Put(char (&field)[N], std::u16string_view text) {
    Put(field, std::string_view(Utf8(text)));
}

std::u16string FieldOf(const WCHAR* text) {
    return text ? std::u16string(text) : std::u16string();
}

// The first nation row whose code (field 0, byCode) or name (field 2, the nationality combo's entry i)
// equals the row's nation, or nothing.
std::optional<int> FindNation(const MatchData& md, std::u16string_view nation, bool byCode) {
    const int rows = std::clamp(md.nNationCount, 0, kNationRows);
    for (int i = 0; i < rows; ++i)
        if (nation == md.aNation[i].wszField[byCode ? 0 : 2])
            return i;
    return std::nullopt;
}

void LoadNation(MatchData& md, TTK_Player& player, std::optional<int> row, std::u16string_view team) {
    if (!row) {
        Put(player.szNationCode, std::string_view());
        Put(player.szNationName, std::string_view());
        return;
    }
    player.nNation = *row;
    if (*row == 0) {
        // Row 0 stands for no nation: the team stands in for it.
        Put(player.szNationCode, team);
        Put(player.szNationName, team);
        return;
    }
    Put(player.szNationCode, std::u16string_view(md.aNation[*row].wszField[0]));
    Put(player.szNationName, std::u16string_view(md.aNation[*row].wszField[2]));
}

int Level(MatchData& md, int table, int division, int weightClass, int fallback) {
    const int* entry = LevelEntry(md, table, division, weightClass);
    if (!entry) {
        DebugPrintf("no level %d for division %d, class %d; the level stays %d", table, division, weightClass,
                    fallback);
        return fallback;
    }
    return *entry;
}

} // namespace

Placement DialogPlacement(const MatchData& md, bool wide, bool team) {
    return {(md.nPrimaryRight - 1280) / 2 + (wide ? 190 : 342), (md.nPrimaryBottom - 720) / 2 + 10,
            wide ? 900 : 595, DialogHeight(team)};
}

int DialogHeight(bool team) {
    return team ? 780 : 720;
}

ClockParts ParseClockText(std::u16string_view text) {
    int parts[3] = {};
    int part = -1;
    bool inDigits = false;
    for (const char16_t c : text) {
        const bool digit = c >= u'0' && c <= u'9';
        if (digit && !inDigits && ++part >= 3)
            break;
        inDigits = digit;
        if (digit)
            parts[part] = std::min(parts[part] * 10 + (c - u'0'), 100000);
    }
    return {parts[0], parts[1], parts[2]};
}

void ParseMinSec(std::u16string_view text, int& minutes, int& seconds) {
    const std::size_t colon = text.find(u':');
    minutes = LeadingNumber(text.substr(0, colon));
    seconds = 0;
    if (colon == std::u16string_view::npos)
        return;
    std::u16string_view rest = text.substr(colon + 1);
    seconds = LeadingNumber(rest.substr(0, rest.find(u':')));
}

std::u16string FormatRemainTime(int ms, bool team) {
    ms = std::max(ms, 0);
    char text[32];
    if (team)
        std::snprintf(text, sizeof text, "%d:%02d", ms / 60000, ms / 1000 % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d.%02d", ms / 60000, ms / 1000 % 60, ms % 1000 / 10);
    return U16(text);
}

std::u16string SpinRoundTime(std::u16string_view text, bool up, bool team) {
    ClockParts t;
    if (team)
        ParseMinSec(text, t.minutes, t.seconds);
    else
        t = ParseClockText(text);
    int total = t.minutes * 60 + t.seconds;
    total = up ? std::min(total + 1, kMaxRoundSeconds) : std::max(total - 1, kMinRoundSeconds);
    char shown[48];
    if (team)
        std::snprintf(shown, sizeof shown, "%d : %02d", total / 60, total % 60);
    else
        std::snprintf(shown, sizeof shown, "%d : %02d . %02d", total / 60, total % 60, t.hundredths % 100);
    return U16(shown);
}

RoundTimeApply ApplyRoundTime(std::u16string_view text, int round, bool team) {
    char message[48];
    if (team) {
        int minutes = 0;
        int seconds = 0;
        ParseMinSec(text, minutes, seconds);
        const int total = std::min(minutes * 60 + seconds, kMaxRoundSeconds);
        std::snprintf(message, sizeof message, "%d,%d", total, round);
        return {FormatRemainTime(total * 1000, true), message};
    }
    const ClockParts t = ParseClockText(text);
    const long long ms = t.seconds * 1000LL + t.minutes * 60000LL + t.hundredths * 10LL;
    const int capped = static_cast<int>(std::min<long long>(ms, kMaxRoundMs));
    std::snprintf(message, sizeof message, "%06d,%d", capped, round);
    return {FormatRemainTime(capped, false), message};
}

RoundTimeApply ResetRoundTime(int matchTimeSeconds, bool team) {
    char shown[32];
    char message[32];
    if (team)
        std::snprintf(shown, sizeof shown, "%d:%02d", matchTimeSeconds / 60, matchTimeSeconds % 60);
    else
        std::snprintf(shown, sizeof shown, "%d:%02d.%02d", matchTimeSeconds / 60, matchTimeSeconds % 60, 0);
    std::snprintf(message, sizeof message, "%d,1", matchTimeSeconds);
    return {U16(shown), message};
}

std::optional<int> SpinContestNumber(int number, bool up) {
    if (!up)
        return std::max(number - 1, 1);
    if (number + 1 > 999)
        return std::nullopt;
    return number + 1;
}

std::optional<int> ParseContestNumber(std::u16string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int number = LeadingNumber(text);
    if (number < 1 || number > 999)
        return std::nullopt;
    return number;
}

std::u16string ContestNumberText(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", number);
    return U16(text);
}

std::optional<int> ParseLevel(std::u16string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int level = LeadingNumber(text);
    if (level > 100)
        return std::nullopt;
    return level;
}

int KgfBodyLevel(int v) {
    const double x = v < 33 ? v * 29.3 - 3 : v * 47.6 - 660;
    return (static_cast<int>(x) + 5) / 10;
}

std::string_view ProtectorName(int index) {
    static constexpr std::string_view kNames[] = {"CV", "CH", "HV", "HH"};
    return index >= 0 && index < 4 ? kNames[index] : std::string_view();
}

std::optional<std::u16string> CheckPssMac(bool hong, std::u16string_view address) {
    if (address.size() != kAddressDigits)
        return U16("The character size are longer or shorter then 16.");
    if (address.front() != (hong ? u'1' : u'0'))
        return U16("The color of protector is not corrected!\r\nPlease check the color of protector.");
    if (!IsAddress(address))
        return U16("The device address may hold only the hexadecimal digits 0-9 and A-F.");
    return std::nullopt;
}

bool SplitDeviceList(std::u16string_view list, std::vector<std::string>& addresses, std::u16string& message) {
    addresses.clear();
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(u',', start), list.size());
        const std::u16string_view entry = Trimmed(list.substr(start, comma - start));
        start = comma + 1;
        if (entry.empty())
            continue;
        if (!IsAddress(entry)) {
            message = U16("Device list has an address that is not 16 hexadecimal digits!\r\n"
                          "Please check the device list.");
            return false;
        }
        addresses.push_back(Utf8(entry));
    }
    if (addresses.size() > kMaxListAddresses) {
        message = U16("Device list has more than 6 addresses!\r\nPlease check the device list.");
        return false;
    }
    return true;
}

PssRequest BuildPssRequest(int index, std::u16string_view edit, bool useDeviceList,
                           std::u16string_view deviceList, bool preRegistration) {
    PssRequest request;
    const std::string name(ProtectorName(index));
    const bool hong = index >= 2;
    edit = Trimmed(edit);
    const auto withAddress = [&] {
        if (const auto refusal = CheckPssMac(hong, edit)) {
            request.message = *refusal;
            return request;
        }
        request.send = true;
        request.text = name + Utf8(edit);
        return request;
    };
    if (useDeviceList) {
        std::vector<std::string> addresses;
        std::u16string listMessage;
        const bool listOk = SplitDeviceList(deviceList, addresses, listMessage);
        const bool trunk = index == 0 || index == 2;
        if (trunk && listOk && addresses.empty()) {
            request.message = U16("Device list is empty!\r\nPlease check the device list.");
            return request;
        }
        if (!edit.empty())
            return withAddress();
        if (!listOk) {
            request.message = listMessage;
            return request;
        }
        request.send = true;
        if (!addresses.empty()) {
            request.text = name;
            for (const std::string& address : addresses)
                request.text += address;
        }
        return request;
    }
    if (!edit.empty())
        return withAddress();
    if (preRegistration) {
        request.message = U16("PSS is not pre-registered yet!\r\n Please wait seconds");
        return request;
    }
    request.send = true; // the receiver pairs the next device that asks
    return request;
}

PssRequest BuildTeamPssRequest(int deviceIndex, std::u16string_view edit) {
    PssRequest request;
    edit = Trimmed(edit);
    if (!edit.empty() && !IsAddress(edit)) {
        request.message = U16("The device address must be 16 hexadecimal digits.");
        return request;
    }
    request.send = true;
    if (!edit.empty()) {
        const int member = deviceIndex >= 24 ? 6 : deviceIndex / 4 + 1;
        const int k = deviceIndex >= 24 ? deviceIndex - 24 : deviceIndex % 4;
        request.text = TeamDeviceName(member, k) + Utf8(edit);
    }
    return request;
}

int TeamDeviceIndex(int member, int k) {
    return member == 6 ? 24 + k : 4 * (member - 1) + k;
}

std::string TeamDeviceName(int member, int k) {
    static constexpr const char* kNames[] = {"CV", "CH", "HV", "HH"};
    std::string name = kNames[k & 3];
    if (member > 1)
        name += static_cast<char>('0' + member);
    return name;
}

int TeamPlayerSlot(int member, int k) {
    return 2 * (member - 1) + (k >= 2 ? 1 : 0);
}

int TeamMembersShown(int teamType) {
    switch (teamType) {
    case 1:
        return 5;
    case 2:
        return 4;
    case 3:
        return 6;
    default:
        return 3;
    }
}

int NextContestNumber(int previous, const std::vector<ContestRow>& rows) {
    if (rows.empty())
        return 1;
    int next = previous;
    bool found = false;
    for (const ContestRow& row : rows) {
        const int number = LeadingNumber(row.no());
        if (number >= next) {
            next = number;
            found = true;
        }
    }
    return found ? next + 1 : next;
}

int NextNumberAfterDelete(const std::vector<ContestRow>& rows) {
    int highest = 0;
    for (const ContestRow& row : rows)
        highest = std::max(highest, LeadingNumber(row.no()));
    return highest + 1;
}

bool IsLoadedContest(const MatchData& md, const ContestRow& row) {
    const std::string number = Utf8(row.no());
    return !FieldText(md.szContestNo).empty() && FieldText(md.szContestNo) == number &&
           FieldText(md.szWeightClass) == Utf8(row.cls()) && FieldText(md.szWeight) == Utf8(row.weight()) &&
           FieldText(md.szGender) == Utf8(row.gender());
}

const std::vector<std::u16string>& PhaseNames() {
    static const std::vector<std::u16string> names = {
        u"Qualification",        u"Round of 256", u"Round of 128",  u"Round of 64",
        u"Round of 32",          u"Round of 16",  u"Quarter-final", u"Repechage",
        u"Bronze Medal Contest", u"Semi-final",   u"Final"};
    return names;
}

LoadResult LoadContest(MatchData& md, const ContestRow& row, bool team, const LoadMode& mode) {
    LoadResult result;
    const bool running = md.nGameState > 1;
    if (running && !mode.whileRunning) {
        result.message = U16("Please finish the previous game.");
        return result;
    }
    // The playing match reloaded while it runs is the logged one: it refreshes, it does not start again.
    if (md.bMatchLogged && !running && IsLoadedContest(md, row)) {
        result.message = U16("This contest was played already: its match is in the event log.\r\n"
                             "Please choose another contest.");
        return result;
    }
    std::u16string number = row.no();
    if (team)
        number = number.substr(0, number.find(u'['));
    Put(md.szContestNo, std::u16string_view(number));

    const std::u16string_view cteam = row.column[10];
    const std::u16string_view hteam = row.column[11];
    Put(md.aPlayer[0].szName, std::u16string_view(row.column[2]));
    Put(md.aPlayer[1].szName, std::u16string_view(row.column[4]));
    result.nationRow[0] = FindNation(md, row.column[3], mode.nationByCode);
    result.nationRow[1] = FindNation(md, row.column[5], mode.nationByCode);
    LoadNation(md, md.aPlayer[0], result.nationRow[0], cteam);
    LoadNation(md, md.aPlayer[1], result.nationRow[1], hteam);

    Put(md.szWeightClass, std::u16string_view(row.cls()));
    const std::u16string_view cls = row.cls();
    for (int d = 0; d < md.nDivisionCount; ++d) {
        std::u16string name = FieldOf(DivisionName(md, d));
        if (team)
            name += u" Team";
        if (name == cls) {
            result.classIndex = d;
            break;
        }
    }
    Put(md.szGender, std::u16string_view(row.gender()));
    if (team)
        result.genderIndex = row.gender() == u"Male" ? 0 : row.gender() == u"Female" ? 1 : 2;
    else
        result.genderIndex = row.gender() == u"Male" ? 0 : 1;

    const int tableGender = result.genderIndex == 0 ? 0 : 1;
    if (team) {
        Put(md.szWeight, std::string_view());
    } else {
        Put(md.szWeight, std::u16string_view(row.weight()));
        for (int w = 0; w < WeightClassCount(md, result.classIndex); ++w) {
            if (FieldOf(WeightClassText(md, WeightText::Name, tableGender, result.classIndex, w)) ==
                row.weight()) {
                result.weightIndex = w;
                break;
            }
        }
    }
    Put(md.szPhase, std::u16string_view(row.column[12]));
    const auto& phases = PhaseNames();
    const auto phase = std::find(phases.begin(), phases.end(), row.column[12]);
    if (phase != phases.end())
        result.phaseIndex = static_cast<int>(phase - phases.begin());

    const int base = tableGender * 3; // body, head, punch tables of the gender
    if (!team) {
        const int body = Level(md, base, result.classIndex, result.weightIndex, -1);
        if (body >= 0)
            md.nLevelBody = md.bUseKgfUnit ? KgfBodyLevel(body) : body;
        md.nLevelHead = Level(md, base + 1, result.classIndex, result.weightIndex, md.nLevelHead);
        md.nLevelPunch = Level(md, base + 2, result.classIndex, result.weightIndex, md.nLevelPunch);
    } else if (md.nCompetitionType != 1) {
        md.nLevelBody = Level(md, base, result.classIndex, 0, md.nLevelBody);
        md.nLevelHead = Level(md, base + 1, result.classIndex, 0, md.nLevelHead);
        md.nLevelPunch = Level(md, base + 2, result.classIndex, 0, md.nLevelPunch);
    }
    result.loaded = true;
    return result;
}

} // namespace Registration
