// The records the outside systems receive, built from one match event: the control-character records of
// the OVR and IVR links, the pipe, colon and bracket records, the WT text lines, the TVG and Swiss Timing
// records and the WT JSON action names. Pure functions over a snapshot of the match (LinkFields); they send
// nothing. Every result is the bytes to send (UTF-8, the narrow code page of the program); an empty result
// means the kind has no record and nothing is sent. Any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct MatchData;

// Local time of the record, injected so a record is the same in every test run.
struct LinkTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0; // east of UTC positive
};

// What the records carry, taken from the match record and the operator screen when a record is built.
// Texts are UTF-8 and free of control characters (LinkFields::From cleans them), so no text can break a
// record's framing. Index 0 is Chung, 1 Hong.
struct LinkFields {
    int court = 0;         // nCourtNo
    int channel = 0;       // nChannelNo
    int round = 0;         // nCurRound
    int regularRounds = 0; // nRound
    int matchTime = 0;     // nMatchTime, seconds
    int gameState = 0;
    int roundWinSystem = 0;           // nCompetitionRule == 1
    int roundLeader = 0;              // nRoundLeader
    int roundWinner = 0;              // nRoundWinner of the current round
    std::array<int, 2> roundWins{};   // nRoundWins
    std::array<int, 2> points{};      // match totals: own points plus the opponent's gam-jeom points
    std::array<int, 2> penalties{};   // nPenaltyCount1 + nPenaltyCount2
    std::array<int, 2> roundPoints{}; // current round: own round points plus the opponent's gam-jeom points
    std::array<int, 2> roundPenalties{}; // current round: single plus double gam-jeoms
    std::array<int, 2> round1Points{};   // the same for round 1 and round 2 (round lines of the WT text)
    std::array<int, 2> round2Points{};
    int restSeconds = 0; // the rest countdown
    int levelBody = 0;
    int levelHead = 0;
    int winSide = 3;                   // nWinSide: 0 Chung, 1 Hong, other a draw
    std::array<int, 3> roundWinners{}; // nRoundWinner of rounds 1 to 3
    // Per round 1 to 3 and side: trunk, head and punch counts, trunk and head technique counts, and the
    // points the side's gam-jeoms gave the opponent in that round.
    std::array<std::array<std::array<int, 6>, 2>, 3> roundStats{};
    std::string clock;                      // the round clock as the screen shows it
    std::string injuryClock;                // the injury clock as the screen shows it
    std::array<std::string, 2> scoreText;   // the score boxes, "%2d"
    std::array<std::string, 2> gamJeomText; // the penalty counts shown
    std::string contest;                    // szContestNo; empty while no match is loaded
    std::array<std::string, 10> echo;       // szLinkTag: [0] record kind, [1]..[7] echo, [8], [9] athlete ids
    std::string receiverAddress;            // 16 upper-case hexadecimal digits
    std::array<std::string, 2> name;
    std::array<std::string, 2> shortName;
    std::array<std::string, 2> nation;
    std::array<std::string, 2> extId;
    std::string gender;
    std::string weight;
    std::string weightClass;
    std::string phase;
    std::string category;     // phase, weight class and weight, as the match information line shows them
    std::string decisionCode; // the three-letter code of the decision kind
    std::string ovrMatchKey;
    LinkTime now;

    // Takes the record's values; the screen texts are given by the view.
    static LinkFields From(const MatchData& md, std::u16string_view clock, std::u16string_view injuryClock,
                           int restSeconds, const std::array<std::u16string, 2>& scoreText,
                           const std::array<std::u16string, 2>& gamJeomText, const LinkTime& now);
};

class EventText {
public:
    // An event text of the match engine as record text: UTF-8, control characters made blanks.
    static std::string Arg(std::u16string_view text);
    // A fixed-size narrow field as record text, cleaned the same way.
    static std::string Clean(std::string_view text);

    // Control-character records of one event (OVR supplier 0 and the pre-registration link).
    static std::string ControlChar(int kind, const LinkFields& f, std::u16string_view a1,
                                   std::u16string_view a2, std::u16string_view a3);
    // "%02X" eight times, byte 0 first.
    static std::string FormatDeviceId(const std::uint8_t id[8]);

    // Bodies and frames of the pipe (supplier 7) and colon (supplier 2) records.
    static std::string PipeBody(int kind, const LinkFields& f, std::u16string_view a1, std::u16string_view a2,
                                std::u16string_view a3);
    static std::string ColonBody(int kind, const LinkFields& f, std::u16string_view a1,
                                 std::u16string_view a2, std::u16string_view a3);
    // 0x02, the body's length in bytes "%04d", '|', the body, 0x03. Empty for an empty body.
    static std::string PipeFrame(std::string_view body);
    // The same without the end byte.
    static std::string ColonFrame(std::string_view body);
    // The colon log's line: "[STX]" body "[ETX]" CR LF, the control characters as their names.
    static std::string ColonLogLine(std::string_view body);

    // Bracket record (supplier 4). pointCount is the NEW_POINT count including this record.
    static std::string Bracket(int kind, const LinkFields& f, std::u16string_view a1, std::u16string_view a2,
                               std::u16string_view a3, int pointCount);

    // WT text lines of one notice, CR LF ended. Empty for kinds this protocol does not send, and for a
    // winner notice (9) of a draw.
    static std::string WtText(int kind, int sub, int value, const LinkFields& f);
    // For the OVR link: every CR LF becomes 0x04.
    static std::string WtForOvr(std::string_view text);

    // IVR record of supplier 0 or 1.
    static std::string Ivr(int supplier, int kind, const LinkFields& f, std::u16string_view a1,
                           std::u16string_view a2, std::u16string_view a3, std::u16string_view a4);

    // TVG record of supplier 0 or 1.
    static std::string Tvg(int supplier, int kind, const LinkFields& f, std::u16string_view a1,
                           std::u16string_view a3);
    // A record with its control characters written as their names, as the logs keep it.
    static std::string TokensAsText(std::string_view record);

    // Swiss Timing record: kind 0 status (connect state off: "9999"; else one digit per device, Chung trunk
    // protector, Chung head gear, Hong trunk protector, Hong head gear), 2 connect, 3 disconnect.
    static std::string SwissTiming(int kind, bool connected, const std::array<char, 4>& deviceDigits);
    // A device's digit: '2' when its link bit is set, '3' when its battery is at most 25 percent, else '0'.
    static char SwissTimingDigit(bool linked, int batteryPercent);

    // Name of a WT JSON action kind; empty for an unknown kind.
    static std::string_view JsonActionName(int kind);
};
