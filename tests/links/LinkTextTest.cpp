#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "links/EventText.h"
#include "links/LinkSettings.h"
#include "links/Transport.h"
#include "links/WireCodec.h"
#include "links/WtApiClient.h"
#include "match/DecisionRules.h"
#include "match/ScoreRules.h"
#include "registration/RegDlgHandle.h"
#include "screens/OperatorLayout.h"
#include "tests/links/RecordText.h"
#include "tests/support/TempHome.h"

#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A match in round 2 of 3 on court 3: Chung 5 points (one gam-jeom), Hong 12 points (two gam-jeoms).
LinkFields Match() {
    LinkFields f;
    f.court = 3;
    f.channel = 5;
    f.round = 2;
    f.regularRounds = 3;
    f.matchTime = 120;
    f.gameState = 3;
    f.points = {5, 12};
    f.penalties = {1, 2};
    f.roundPoints = {3, 4};
    f.roundPenalties = {0, 1};
    f.round1Points = {2, 8};
    f.round2Points = {3, 4};
    f.roundWins = {1, 0};
    f.levelBody = 20;
    f.levelHead = 10;
    f.clock = "1:07";
    f.injuryClock = "0:45";
    f.scoreText = {" 5", "12"};
    f.gamJeomText = {"1", "2"};
    f.contest = "12";
    f.echo = {"K", "E1", "E2", "E3", "E4", "E5", "E6", "E7", "BLUE01", "RED02"};
    f.receiverAddress = "001A2B3C4D5E6F70";
    f.name = {"KIM Minsu", "LEE Jiho"};
    f.shortName = {"KIM", "LEE"};
    f.nation = {"KOR", "GBR"};
    f.extId = {"c-1", "c-2"};
    f.gender = "Male";
    f.weight = "-68kg";
    f.weightClass = "Senior";
    f.phase = "Final";
    f.category = "Final Senior -68kg";
    f.decisionCode = "PTG";
    f.winSide = 1;
    f.roundWinners = {1, 3, 0};
    f.roundStats[1] = {{{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}}};
    f.ovrMatchKey = "MK9";
    f.now = {2024, 5, 1, 14, 30, 5, 120};
    return f;
}

struct RecordCase {
    int kind;
    const char16_t* a1;
    const char16_t* a2;
    const char16_t* a3;
    const char* expected; // control characters as their names
};

#define K "[SOH][DC2]3[STX]E1[STX]E2[STX]E3[STX]E4[STX]E5[STX]E6[STX]E7"

TEST(LinkTextTest, ControlCharacterRecordsByKind) {
    const RecordCase cases[] = {
        {0, u"", u"", u"", "[SOH][DC2]3[DC3]RIN[EOT]"},
        {1, u"", u"", u"", K "[DC3]CO[EOT]" K "[DC3]BN[STX]BLUE01[STX]RED02[EOT]"},
        {2, u"", u"", u"",
         K "[DC3]PE[STX]2[EOT]" K "[DC3]SR[STX]2[EOT]" K "[DC3]TM[STX]2[STX]    2:00    [EOT]"},
        {3, u"", u"", u"", K "[DC3]TM[STX]2[STX]    1:07    [EOT]"},
        {4, u"B", u"2", u"T",
         K "[DC3]PT[STX]2[STX]B[STX]BLUE01[STX]2[STX]T[STX]1[STX]2[STX] 5[STX]12[STX]1:07[EOT]"},
        {4, u"R", u"3", u"S",
         K "[DC3]PT[STX]2[STX]R[STX]RED02[STX]3[STX]S[STX]1[STX]2[STX] 5[STX]12[STX]1:07[EOT]"},
        {6, u"B", u"P", u"",
         K "[DC3]GJ[STX]2[STX]B[STX]BLUE01[STX]G[STX]P[STX]1[STX]2[STX] 5[STX]12[STX]1:07[EOT]"},
        {7, u"R", u"PTG", u"", K "[DC3]WN[STX]2[STX]R[STX]RED02[STX]PTG[STX]1:07[EOT]" K "[DC3]EF[EOT]"},
        {8, u"", u"", u"", "[SOH][DC2]3[DC3]MT[STX]05[STX]001A2B3C4D5E6F70[EOT]"},
        {9, u"B", u"4", u"", K "[DC3]HIT[STX]2[STX]B[STX]4[EOT]"},
        {10, u"1", u"R", u"x,y", K "[DC3]VR[STX]2[STX]1[STX]R[STX]RED02[STX]x[STX]y[STX][STX]1:07[EOT]"},
        {11, u"", u"", u"", "[SOH][DC2]3[DC3]^KILL![EOT]"},
        {12, u"", u"", u"", ""},
    };
    const LinkFields f = Match();
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(EventText::ControlChar(c.kind, f, c.a1, c.a2, c.a3), Bytes(c.expected));
    }
}

TEST(LinkTextTest, ControlCharacterRecordsFollowTheModeStateAndReceiver) {
    LinkFields f = Match();
    f.gameState = 5; // the round is over: the clock reads 0:00
    EXPECT_EQ(EventText::ControlChar(3, f, u"", u"", u""), Bytes(K "[DC3]TM[STX]2[STX]    0:00    [EOT]"));
    f.echo[0] = "N"; // contest information and replay records only in mode "K"
    EXPECT_EQ(EventText::ControlChar(1, f, u"", u"", u""), "");
    EXPECT_EQ(EventText::ControlChar(10, f, u"1", u"R", u"x,y"), "");
    const std::uint8_t id[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
    EXPECT_EQ(EventText::FormatDeviceId(id), "001A2B3C4D5E6F70");
}

TEST(LinkTextTest, TextsCannotBreakTheFraming) {
    // A control character inside an event text or a match field would end or split the record.
    const std::string record = EventText::ControlChar(9, Match(), u"B\x04X", u"\x02", u"");
    EXPECT_EQ(record, Bytes(K "[DC3]HIT[STX]2[STX]B X[STX] [EOT]"));
    EXPECT_EQ(EventText::Clean("a\x01\r\nb"), "a   b");
}

TEST(LinkTextTest, PipeAndColonBodiesByKind) {
    struct BodyCase {
        int kind;
        const char16_t* a1;
        const char16_t* a2;
        const char16_t* a3;
        const char* pipe;
        const char* colon;
    };
    const BodyCase cases[] = {
        {0, u"", u"", u"", "NextMatch", ""},
        {1, u"", u"", u"", "", ""},
        {2, u"", u"", u"", "3|NewMatch|12|KIM Minsu|KOR|LEE Jiho|GBR|Male|-68kg|20|10",
         "NewMatch:12,KIM Minsu,KOR,LEE Jiho,GBR,Male,-68kg,20"},
        {3, u"", u"", u"", "3|MatchStart|12", "MatchStart:12"},
        {4, u"", u"", u"", "3|RoundStart|12|R2", "RoundStart:12,R2"},
        {5, u"", u"", u"", "3|Timeout|12|R2|67", "Timeout:12,R2,67"},
        {6, u"", u"", u"", "3|Resume|12", "Resume:12"},
        {7, u"", u"", u"", "3|RoundEnd|12|R2", "RoundEnd:12,R2"},
        {8, u"", u"", u"", "3|MatchEnd|12", "MatchEnd:12"},
        {9, u"Blue", u"2", u"", "3|Score|12|R2|67|Blue|2|5|12|1|2", "Score:12,R2,67,Blue,2,5,12"},
        {10, u"Red", u"-1", u"", "3|AdjustScore|12|R2|67|Red|-1|5|12|1|2",
         "AdjustScore:12,R2,67,Red,-1,5,12"},
        {11, u"Blue", u"GJ", u"", "3|Penalty|12|R2|67|Blue|GJ|5|12|1|2", "Penalty:12,R2,67,Blue,GJ,5,12,1,2"},
        {12, u"Red", u"GJ", u"1", "3|AdjustPenalty|12|R2|67|Red|GJ|1|5|12|1|2",
         "AdjustPenalty:12,R2,67,Red,GJ,1,5,12,1,2"},
        {13, u"", u"", u"", "3|RoundTime|12|R2|67", "RoundTime:12,R2,67"},
        {14, u"Red", u"PTF", u"", "3|MatchResults|12|Red|LEE Jiho|c-2|PTF|5|12|1|2", "RoundTime:12,R2,67"},
        {14, u"Draw", u"", u"", "3|MatchResults|12|Draw|None|None||5|12|1|2", "RoundTime:12,R2,67"},
        {15, u"Blue", u"PTF", u"", "", "MatchResults:12,MK9,Blue,KIM Minsu,c-1,PTF,5,12"},
        {15, u"x", u"", u"", "", "MatchResults:12,MK9,x,None,None,,5,12"},
        {16, u"Blue", u"SUP", u"", "", "Winner:12,Blue,SUP,5,12"},
        {17, u"", u"", u"", "", "END_SERVER"},
        {18, u"a", u"b", u"", "", "StartMember:12,R2,a,b"},
    };
    const LinkFields f = Match();
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(EventText::PipeBody(c.kind, f, c.a1, c.a2, c.a3), c.pipe);
        EXPECT_EQ(EventText::ColonBody(c.kind, f, c.a1, c.a2, c.a3), c.colon);
    }
}

TEST(LinkTextTest, PipeAndColonClockAndRoundLabels) {
    LinkFields f = Match();
    f.round = 4; // past the three regular rounds
    f.clock = "9.50";
    EXPECT_EQ(EventText::PipeBody(5, f, u"", u"", u""), "3|Timeout|12|OT|9");
    f.clock = "";
    EXPECT_EQ(EventText::ColonBody(5, f, u"", u"", u""), "Timeout:12,OT,0");
}

TEST(LinkTextTest, PipeAndColonFramesCarryTheBodyLength) {
    const std::string body42 = "3|Score|12|R2|67|Blue|2|5|12|1|2|abcdefghi";
    ASSERT_EQ(body42.size(), 42u);
    EXPECT_EQ(EventText::PipeFrame(body42), "\x02"
                                            "0042|" +
                                                body42 + "\x03");
    EXPECT_EQ(EventText::ColonFrame(body42), "\x02"
                                             "0042|" +
                                                 body42);
    EXPECT_EQ(EventText::ColonLogLine("Resume:12"), "[STX]Resume:12[ETX]\r\n");
    // The length counts bytes, so the end byte is where the peer looks for it also after a multi-byte name.
    const std::string accented = "3|NewMatch|Zoë";
    EXPECT_EQ(EventText::PipeFrame(accented), "\x02"
                                              "0015|" +
                                                  accented + "\x03");
    EXPECT_EQ(EventText::PipeFrame(""), "");
    EXPECT_EQ(EventText::ColonFrame(""), "");
}

TEST(LinkTextTest, BracketRecordsByKind) {
    const char* date = "[DATE:2024.05.01.14:30:05]";
    const std::string tail = "[ROUND:02][BLUE_POINT:05][RED_POINT:12][RING_NUMBER:03][ROUND_TIME:01:07]"
                             "[BLUE_WARNING:01][RED_WARNING:02]";
    const struct {
        int kind;
        std::string expected;
    } cases[] = {
        {0, "[FIGHT_START][ID:0012]" + std::string(date) + tail +
                "[BLUE_NAME:KIM Minsu][RED_NAME:LEE Jiho][BLUE_NATION:KOR][RED_NATION:GBR][WEIGHT:-68kg_M]"},
        {1, "[NEW_POINT][ID:0012]" + std::string(date) +
                "[TYPE:4][PS:2][WINNER:BLUE][BLUE_POINT:05][RED_POINT:12][ROUND:02][RING_NUMBER:03]"
                "[ROUND_TIME:01:07][BLUE_WARNING:01][RED_WARNING:02][WINNER:NONE][MS:007]"},
        {2, "[FIGHT_LONG_PAUSE][ID:0012]" + std::string(date) + tail},
        {3, "[FIGHT_RESUME][ID:0012]" + std::string(date) + tail},
        {4,
         "[FIGHT_STOP][ID:0012][ROUND_NUMBER:02]" + std::string(date) +
             "[FIGHT_END:F][BLUE_POINT:05][RED_POINT:12][RING_NUMBER:03][ROUND_TIME:00:00][BLUE_WARNING:01]"
             "[RED_WARNING:02][WINNER:NONE]"},
        {5,
         "[FIGHT_STOP][ID:0012][ROUND:02]" + std::string(date) +
             "[FIGHT_END:T][BLUE_POINT:05][RED_POINT:12][RING_NUMBER:03][ROUND_TIME:01:07][BLUE_WARNING:01]"
             "[RED_WARNING:02][WINNER:BLUE][WINNER_TYPE:PTG]"},
        {6, "[FIGHT_TIME][ID:0012][ROUND:02][RING_NUMBER:03][ROUND_TIME:01:07][BLUE_POINT:05][RED_POINT:12]"
            "[BLUE_WARNING:01][RED_WARNING:02]"},
        {7, "[NEW_FIGHT][ID:0012]" + std::string(date) +
                "[BLUE_NAME:KIM Minsu][RED_NAME:LEE "
                "Jiho][BLUE_NATION:KOR][RED_NATION:GBR][WEIGHT:-68kg_M][PHASE:F]"},
        {8, "[FIGHT_ROUNDWINNER][ID:0012][ROUND_NUMBER:02]" + std::string(date) +
                "[BLUE_WINCOUNT:1][RED_WINCOUNT:0][RING_NUMBER:03][ROUND_TIME:00:00][ROUND_WINNER:NONE]"},
        {9, ""},
    };
    const LinkFields f = Match();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::u16string a1 = c.kind == 1 ? u"4" : u"BLUE";
        const std::u16string a2 = c.kind == 1 ? u"2" : u"PTG";
        EXPECT_EQ(EventText::Bracket(c.kind, f, a1, a2, u"BLUE", 7), c.expected);
    }
}

TEST(LinkTextTest, BracketValuesUnderTheRoundWinSystemAndAfterTheRegularRounds) {
    LinkFields f = Match();
    f.roundWinSystem = 1;
    f.round = 4;
    f.roundWinner = 2;
    f.gender = "F";
    f.phase = "Quarter-final"; // not the table's "Quarter final": sent as it is
    f.name[0] = std::string(60, 'A');
    EXPECT_EQ(EventText::Bracket(6, f, u"", u"", u"", 0),
              "[FIGHT_TIME][ID:0012][ROUND:04][RING_NUMBER:03][ROUND_TIME:01:07][BLUE_POINT:03][RED_POINT:04]"
              "[BLUE_WARNING:00][RED_WARNING:01]");
    const std::string fight = EventText::Bracket(7, f, u"", u"", u"", 0);
    EXPECT_NE(fight.find("[BLUE_NAME:" + std::string(50, 'A') + "]"), std::string::npos);
    EXPECT_NE(fight.find("[WEIGHT:-68kg_F][PHASE:Quarter-final]"), std::string::npos);
    EXPECT_NE(EventText::Bracket(8, f, u"", u"", u"", 0).find("[ROUND_WINNER:RED]"), std::string::npos);
}

TEST(LinkTextTest, WtTextLinesByKind) {
    const struct {
        int kind;
        int sub;
        int value;
        const char* expected;
    } cases[] = {
        {0, 0, 0, "clk;1:07\r\n"},
        {0, 1, 0, "clk;1:07;start\r\n"},
        {0, 2, 0, "clk;1:07;stop\r\n"},
        {0, 3, 0, "clk;1:07;corr\r\n"},
        {0, 4, 0, "clk;1:07;stopEnd;\r\n"},
        {0, 5, 0, "clk;1:07;stopEnd\r\n"},
        {0, 6, 0, ""},
        {1, 0, 0, "brk;30\r\n"},
        {1, 1, 0, "brk;30;stop\r\n"},
        {2, 0, 0, "rnd;2\r\n"},
        {3, 0, 4, "pt1;4\r\n"},
        {3, 1, 2, "pt2;2\r\n"},
        {4, 0, 0, "sc1; 5;sc2;12\r\n"},
        {5, 0, 0, "wg1;1;wg2;2\r\n"},
        {6, 0, 0,
         "mch;12;Final;Final Senior "
         "-68kg;3;#0000ff;#FFFFFF;#ff0000;#FFFFFF;7e3b90c4;Senior;3;120;cntDown;20;10"
         "\r\n"},
        {7, 0, 0, "at1;KIM Minsu;KIM;KOR;at2;LEE Jiho;LEE;GBR\r\n"},
        {8, 0, 0, "ij0;0:45;show\r\n"},
        {8, 1, 0, "ij0;0:45\r\n"},
        {8, 2, 0, "ij0;0:45;hide\r\n"},
        {9, 1, 0, "win;RED\r\nwmh;LEE Jiho; 5-12 PTG\r\n"},
        {10, 0, 0, ""},
        {11, 0, 0, "ch1;\r\n"},
        {11, 1, 0, "ch2;\r\n"},
        {11, 2, 0, "ch0;\r\n"},
        {12, 2, 0, "ch0;-1\r\n"},
        {13, 1, 1, "ch2;1\r\nch2;-1\r\n"},
        {13, 2, 0, "ch0;0\r\nch0;-1\r\n"},
        {14, 0, 0, "ref;;;jud1;;;jud2;;;ta;;\r\n"},
        {15, 0, 0, "clk;1:07\r\nrnd;1\r\nrdy;FightReady;\r\n"},
        {16, 0, 0, "pre;FightLoaded;\r\n"},
        {17, 5001, 0, "Udp Port 5001 connected\r\n"},
        {18, 5001, 0, "Udp Port 5001 disconnected\r\n"},
        {19, 0, 0, ""},
        // Round 2: round 1 won by Chung, round 2 a tie so far (written 0), its statistics.
        {20, 1, 2,
         "wrd;rd1;1;rd2;0;rd3;0\r\ns11;2;s21;8;s12; 5;s22;12;s13;0;s23;0\r\n"
         "rst;2;st1;1;2;3;4;5;6;st2;6;5;4;3;2;1;\r\nrsr;\r\n"},
        {21, 1, 35, "hl2;35\r\n"},
        // The leader by the score texts: " 5" sorts before "12", so Hong leads round 2.
        {22, 0, 0, "wrd;rd1;1;rd2;2;rd3;0\r\ns11;2;s21;8;s12; 5;s22;12;s13;0;s23;0\r\n"},
        {23, 0, 0, "wrd;rd1;0;rd2;0;rd3;0;\r\n"},
        {24, 0, 0, ""},
        {25, 0, 0, "sup;0\r\n"},
    };
    LinkFields f = Match();
    f.restSeconds = 30;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << "/" << c.sub);
        EXPECT_EQ(EventText::WtText(c.kind, c.sub, c.value, f), c.expected);
    }
    f.gameState = 5;
    EXPECT_EQ(EventText::WtText(0, 5, 0, f), "clk;0:00;stopEnd\r\n");
    // The winner of a round-win match is told with the rounds won; a draw has no winner notice.
    f.roundWinSystem = 1;
    f.winSide = 0;
    EXPECT_EQ(EventText::WtText(9, 0, 0, f), "win;BLUE\r\nwmh;KIM Minsu;1-0 PTG\r\n");
    f.winSide = 3;
    EXPECT_EQ(EventText::WtText(9, 0, 0, f), "");
    // Past round 3 the round results are the winners alone.
    f.round = 4;
    EXPECT_EQ(EventText::WtText(20, 0, 0, f), "wrd;rd1;1;rd2;0;rd3;0\r\n");
}

TEST(LinkTextTest, WtScoreLinesUnderTheRoundWinSystem) {
    LinkFields f = Match();
    f.roundWinSystem = 1;
    f.scoreText = {" 3", " 4"};
    f.roundLeader = 2;
    const struct {
        int round;
        const char* expected;
    } cases[] = {
        {0, "sc1; 3;sc2; 4\r\ns11;0;s21;0;s12;0;s22;0;s13;0;s23;0\r\nsup;2\r\n"},
        {1, "sc1; 3;sc2; 4\r\ns11; 3;s21; 4;s12;0;s22;0;s13;0;s23;0\r\nsup;2\r\n"},
        {2, "sc1; 3;sc2; 4\r\ns11;2;s21;8;s12; 3;s22; 4;s13;0;s23;0\r\nsup;2\r\n"},
        {3, "sc1; 3;sc2; 4\r\ns11;2;s21;8;s12;3;s22;4;s13; 3;s23; 4\r\nsup;2\r\n"},
        {4, "sc1; 3;sc2; 4\r\nsup;2\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.round);
        f.round = c.round;
        EXPECT_EQ(EventText::WtText(4, 0, 0, f), c.expected);
    }
    f.roundLeader = 3; // no leader
    EXPECT_EQ(EventText::WtText(4, 0, 0, f), "sc1; 3;sc2; 4\r\nsup;0\r\n");
    EXPECT_EQ(EventText::WtForOvr("win;BLUE\r\nwmh;x\r\n"), "win;BLUE\x04wmh;x\x04");
}

TEST(LinkTextTest, IvrRecordsBySupplierAndKind) {
    const char* head = "[SOH][DC2]3[STX]    12";
    const char* match =
        "[STX]2024.05.01, 14:30:05[STX]Senior_M-68kg_Final[STX]KIM Minsu[STX]LEE Jiho[STX]KOR[STX]GBR[EOT]";
    const struct {
        int supplier;
        int kind;
        std::string expected;
    } cases[] = {
        {0, 0, std::string(head) + "[DC3]SF" + match},
        {0, 1, std::string(head) + "[DC3]SR[STX]2[EOT]"},
        {0, 2, std::string(head) + "[DC3]FP[STX]2[STX]1:07[EOT]"},
        {0, 3, std::string(head) + "[DC3]RP[STX]2[EOT]"},
        {0, 4, std::string(head) + "[DC3]PT[STX]2[STX]a[STX]b[STX]c[STX] 5[STX]12[STX]1:07[EOT]"},
        {1, 4, std::string(head) + "[DC3]PT[STX]2[STX]a[STX]b[STX]c[STX]d[STX] 5[STX]12[STX]1:07[EOT]"},
        {0, 5, std::string(head) + "[DC3]HIT[STX]2[STX]a[STX]b[STX]c[STX]1:07[EOT]"},
        {0, 6, std::string(head) + "[DC3]ER[STX]2[EOT]"},
        {1, 7, std::string(head) + "[DC3]WN[STX]2[STX]a[STX]b[STX]1:07[EOT]"},
        {0, 8, std::string(head) + "[DC3]EF[STX]2024.05.01, 14:30:05[EOT]"},
        {1, 9, std::string(head) + "[DC3]MI" + match},
        {0, 10, std::string(head) + "[DC3]CK[STX]2[STX]1:07[STX] 5[STX]12[STX]1[STX]2[EOT]"},
        {0, 11, ""},
        {1, 11, std::string(head) + "[DC3]JE[STX]2[STX]a[STX]b[STX]c[STX]1:07[EOT]"},
        {0, 12, ""},
        {1, 12, std::string(head) + "[DC3]RW[STX]2[STX]a[STX]b[STX]c[EOT]"},
        {0, 13, ""},
        {2, 1, ""},
    };
    const LinkFields f = Match();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.supplier << "/" << c.kind);
        EXPECT_EQ(EventText::Ivr(c.supplier, c.kind, f, u"a", u"b", u"c", u"d"), Bytes(c.expected));
    }
}

TEST(LinkTextTest, IvrCategoryGenderLetter) {
    LinkFields f = Match();
    const struct {
        const char* gender;
        const char* category;
    } cases[] = {{"Female", "Senior_W-68kg_Final"},
                 {"F", "Senior_W-68kg_Final"},
                 {"Male", "Senior_M-68kg_Final"},
                 {"", "Senior_-68kg_Final"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gender);
        f.gender = c.gender;
        EXPECT_NE(EventText::Ivr(0, 0, f, u"", u"", u"", u"").find(std::string("\x02") + c.category + "\x02"),
                  std::string::npos);
    }
}

TEST(LinkTextTest, TvgRecordsBySupplierAndKind) {
    const struct {
        int supplier;
        int kind;
        const char* expected;
    } cases[] = {
        {0, 0, "[SOH][DC2]03[DC3]TM[STX]00501201:0700:00R20102[EOT]"},
        {1, 0, "[SOH][DC2]03[DC3]TM[STX]00501201:0700:00R20102[EOT]"},
        {0, 1, "[SOH][DC2]03[DC3]TM[STX]00501201:0700:45R20102[EOT]"},
        {1, 1, "[SOH]03[DC3]111100501201:0700:45R20102[EOT]"},
        {0, 2, "[SOH][DC2]03[DC3]PT[STX]B[STX]4[EOT]"},
        {1, 2, ""},
        {0, 3, ""},
        {2, 0, ""},
    };
    const LinkFields f = Match();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.supplier << "/" << c.kind);
        EXPECT_EQ(EventText::Tvg(c.supplier, c.kind, f, u"B", u"4"), Bytes(c.expected));
    }
    EXPECT_EQ(EventText::TokensAsText(Bytes("[SOH][DC2]03[DC3]PT[STX]B[EOT]")),
              "[SOH][DC2]03[DC3]PT[STX]B[EOT]");
    LinkFields golden = Match();
    golden.round = 10;
    golden.regularRounds = 10;
    EXPECT_EQ(EventText::Tvg(0, 0, golden, u"", u""),
              Bytes("[SOH][DC2]03[DC3]TM[STX]00501201:0700:00R100102[EOT]"));
    golden.round = 11;
    EXPECT_EQ(EventText::Tvg(0, 0, golden, u"", u""),
              Bytes("[SOH][DC2]03[DC3]TM[STX]00501201:0700:00OT0102[EOT]"));
}

TEST(LinkTextTest, SwissTimingRecords) {
    EXPECT_EQ(EventText::SwissTiming(0, false, {'2', '0', '3', '0'}), Bytes("[SOH]st[STX]9999[EOT]"));
    EXPECT_EQ(EventText::SwissTiming(0, true, {'2', '0', '3', '0'}), Bytes("[SOH]st[STX]2030[EOT]"));
    EXPECT_EQ(EventText::SwissTiming(2, true, {}), Bytes("[SOH]tconnect[EOT]"));
    EXPECT_EQ(EventText::SwissTiming(3, false, {}), Bytes("[SOH]tdisconnect[EOT]"));
    EXPECT_EQ(EventText::SwissTiming(1, true, {}), "");
    EXPECT_EQ(EventText::SwissTimingDigit(true, 5),
              '2'); // a linked device reports 2 even when its battery is low
    EXPECT_EQ(EventText::SwissTimingDigit(false, 25), '3');
    EXPECT_EQ(EventText::SwissTimingDigit(false, 26), '0');
}

TEST(LinkTextTest, JsonActionNames) {
    EXPECT_EQ(EventText::JsonActionName(0), "MATCH_LOADED");
    EXPECT_EQ(EventText::JsonActionName(19), "PENALTY_AWAY");
    EXPECT_EQ(EventText::JsonActionName(43), "VR_CR_REJECTED");
    EXPECT_EQ(EventText::JsonActionName(59), "SCORE_AWAY_SKICK");
    EXPECT_EQ(EventText::JsonActionName(67), "INVALIDATE_DOUBLE_PENALTY_AWAY");
    for (int unknown : {-1, 29, 40, 60, 63, 68})
        EXPECT_EQ(EventText::JsonActionName(unknown), "") << unknown;
}

TEST(LinkTextTest, FieldsFromTheMatchRecord) {
    TempHome home;
    const std::u16string savedDir = g_strAppDir;
    g_strAppDir = home.widePath();
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    md.nCurRound = 2;
    md.aSide[0].nScore = 4;
    md.aSide[1].nPenaltyCount1 = 1;
    md.aSide[1].nPenaltyCount2 = 1;
    md.aSide[0].nRoundScore[1] = 2;
    md.aSide[1].nRoundPenaltyPoints1[1] = 1;
    md.aSide[1].nRoundPenaltyPoints2[1] = 2;
    md.aSide[1].nRoundPenalty1[1] = 1;
    md.aSide[1].nRoundPenalty2[1] = 1;
    md.aSide[1].nTechTally[ScoreRules::kHeadCount][1] = 2;
    md.aSide[1].nTechTally[ScoreRules::kHeadTechCount][1] = -1;
    md.nRoundWinner[0] = 2;
    md.nDecisionKind = 0;
    std::strcpy(md.szPhase, "Final");
    std::strcpy(md.szWeight, "-68kg");
    std::strcpy(md.aPlayer[0].szName, "KIM\x04Minsu");
    std::memset(md.szContestNo, '7', sizeof md.szContestNo); // a field with no terminator
    const LinkFields f = LinkFields::From(md, u"1:07", u"", 0, {u" 7", u" 0"}, {u"0", u"2"}, {});
    EXPECT_EQ(f.points[0], 7);
    EXPECT_EQ(f.penalties[1], 2);
    EXPECT_EQ(f.roundPoints[0], 5);
    EXPECT_EQ(f.roundPenalties[1], 2);
    EXPECT_EQ(f.name[0], "KIM Minsu");
    EXPECT_EQ(f.contest.size(), sizeof md.szContestNo);
    EXPECT_EQ(f.scoreText[0], " 7");
    // The round's statistics; a negative count goes out as 0. An empty weight class leaves no gap.
    EXPECT_EQ(f.roundStats[1][1], (std::array<int, 6>{0, 2, 0, 0, 0, 3}));
    EXPECT_EQ(f.roundWinners, (std::array<int, 3>{2, 0, 0}));
    EXPECT_EQ(f.category, "Final -68kg");
    EXPECT_EQ(f.decisionCode, DecisionRules::DecisionCodeText(0, md.nOvrSupplier));
    FreeMatchData();
    g_strAppDir = savedDir;
}

// ---------------------------------------------------------------------------------------------------------
// The senders on the view: which link gets which bytes.

struct Sent {
    int commType;
    void* link;
    std::string bytes;
};

// Keeps what the senders hand to the transport.
class RecordingView : public CMainWnd {
public:
    BOOL SendOnLink(int commType, void* link, std::string_view bytes) override {
        sent.push_back({commType, link, std::string(bytes)});
        return TRUE;
    }
    std::vector<Sent> sent;
};

class LinkSenderTest : public ::testing::Test, protected TestCourt {
protected:
    LinkSenderTest() {
        view = std::make_unique<RecordingView>();
        md->nCourtNo = 3;
        md->nCurRound = 1;
        md->nRound = 3;
        std::strcpy(md->szContestNo, "12");
        view->m_strClockText = u"1:07";
        view->Static(OperatorIds::ScoreChung)->setText(" 5");
        view->Static(OperatorIds::ScoreHong)->setText("12");
        view->Static(OperatorIds::PenaltyChung)->setText("0");
        view->Static(OperatorIds::PenaltyHong)->setText("0");
    }
    ~LinkSenderTest() override {
        // The handles are stand-ins: nothing may close them.
        md->pOvrLink = md->pIvrLink = md->pTvgLink = md->pStLink = md->pPreRegLink = nullptr;
        view.reset();
    }

    // Every sender once, with an event each link format knows.
    void SendEveryEvent() {
        view->SendControlCharEvent(4, u"B", u"2", u"T");
        view->SendColonEvent(9, u"Blue", u"2", u"");
        view->SendPipeEvent(9, u"Blue", u"2", u"");
        view->SendBracketEvent(1, u"4", u"2", u"BLUE");
        view->SendWtMessage(0, 3, 0, 4);
        view->SendIvrMessage(4, u"B", u"2", u"T", u"");
        view->SendTvgMessage(md->nTvgSupplier, 2, u"B", u"", u"4");
        view->SendSwissTiming(0);
        view->BuildJsonAction(3, 8, 0);
    }

    std::unique_ptr<RecordingView> view;
    int ovr = 0, ivr = 0, tvg = 0, st = 0, preReg = 0; // stand-in link handles
};

TEST_F(LinkSenderTest, ALinkThatIsDownIsSkippedWithoutTouchingAnything) {
    const struct {
        const char* name;
        bool handles;
        int connected;
    } cases[] = {{"no link objects, flags set", false, 1}, {"link objects, flags clear", true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        home.write("Log/log.txt", "");
        home.write("Log/log_tvg.txt", "");
        md->pOvrLink = c.handles ? &ovr : nullptr;
        md->pIvrLink = c.handles ? &ivr : nullptr;
        md->pTvgLink = c.handles ? &tvg : nullptr;
        md->pStLink = c.handles ? &st : nullptr;
        md->pPreRegLink = c.handles ? &preReg : nullptr;
        md->bOvrConnected = md->bIvrConnected = md->bTvgConnected = md->bStConnected = md->bPreRegConnected =
            c.connected;
        md->nOvrCommType = 2;
        std::strcpy(md->szOvrRecv, "reply");
        // Each OVR supplier in turn, with IVR and TVG suppliers that build records.
        for (int supplier : {0, 2, 4, 6, 7, 8}) {
            md->nOvrSupplier = supplier;
            md->nIvrSupplier = supplier == 6 ? 2 : 1;
            md->nTvgSupplier = 0;
            SendEveryEvent();
            view->SendControlCharEvent(11, u"", u"", u""); // would clear the OVR reply
        }
        EXPECT_TRUE(view->sent.empty());
        EXPECT_EQ(view->m_nBracketPointCount, 0);
        EXPECT_STREQ(md->szOvrRecv, "reply");
        EXPECT_EQ(home.read("Log/log.txt"), "");
        EXPECT_EQ(home.read("Log/log_tvg.txt"), "");
    }
}

TEST_F(LinkSenderTest, EachSupplierGetsItsOwnFormatOnItsLink) {
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->nOvrCommType = 1;
    md->pIvrLink = &ivr;
    md->bIvrConnected = 1;
    md->nIvrCommType = 2;
    md->pTvgLink = &tvg;
    md->bTvgConnected = 1;
    md->nTvgCommType = 0;
    home.write("Log/log.txt", "");
    home.write("Log/log_tvg.txt", "");
    // The view's echo fields are empty until a match reply arrives.
    const std::string controlPoint =
        Bytes("[SOH][DC2]3[STX][STX][STX][STX][STX][STX][STX][DC3]PT[STX]1[STX]B[STX][STX]2[STX]T[STX]0[STX]0"
              "[STX] 5[STX]12[STX]1:07[EOT]");
    const std::string ivrHead = Bytes("[SOH][DC2]3[STX]    12[DC3]PT[STX]1[STX]B[STX]2[STX]T");
    const struct {
        int ovrSupplier;
        int ivrSupplier;
        int tvgSupplier;
        std::vector<std::pair<void*, std::string>> expected; // link and bytes, in sending order
    } cases[] = {
        {0,
         0,
         0,
         {{&ovr, controlPoint},
          {&ivr, ivrHead + Bytes("[STX] 5[STX]12[STX]1:07[EOT]")},
          {&tvg, Bytes("[SOH][DC2]03[DC3]PT[STX]B[STX]4[EOT]")}}},
        {2,
         2,
         2,
         {{&ovr, "\x02"
                 "0025|Score:12,R1,67,Blue,2,0,0"},
          {&ivr, "pt1;4\r\n"},
          {&tvg, "pt1;4\r\n"}}},
        {7,
         2,
         1,
         {{&ovr, "\x02"
                 "0031|3|Score|12|R1|67|Blue|2|0|0|0|0\x03"},
          {&ivr, "pt1;4\r\n"}}},
        {6,
         1,
         2,
         {{&tvg, "pt1;4\r\n"},
          {&ovr, "pt1;4\x04"},
          {&ivr, ivrHead + Bytes("[STX][STX] 5[STX]12[STX]1:07[EOT]")}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ovrSupplier);
        md->nOvrSupplier = c.ovrSupplier;
        md->nIvrSupplier = c.ivrSupplier;
        md->nTvgSupplier = c.tvgSupplier;
        view->sent.clear();
        SendEveryEvent();
        ASSERT_EQ(view->sent.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(view->sent[i].link, c.expected[i].first);
            EXPECT_EQ(view->sent[i].bytes, c.expected[i].second);
            const int type = view->sent[i].link == &ovr ? 1 : view->sent[i].link == &ivr ? 2 : 0;
            EXPECT_EQ(view->sent[i].commType, type);
        }
    }
    // The colon record of supplier 2 and the TVG record of supplier 0 were logged.
    EXPECT_EQ(Utf16Le(home.read("Log/log.txt")), "[STX]Score:12,R1,67,Blue,2,0,0[ETX]\r\n");
    EXPECT_EQ(Utf16Le(home.read("Log/log_tvg.txt")), "[SOH][DC2]03[DC3]PT[STX]B[STX]4[EOT]\r\n");
}

TEST_F(LinkSenderTest, LogsAreKeptOnlyWhenTheirFileExistsAndGrow) {
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->nOvrSupplier = 2;
    view->SendColonEvent(6, u"", u"", u"");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("Log/log.txt"))));
    home.write("Log/log.txt", "");
    view->SendColonEvent(6, u"", u"", u"");
    view->SendColonEvent(8, u"", u"", u"");
    EXPECT_EQ(Utf16Le(home.read("Log/log.txt")), "[STX]Resume:12[ETX]\r\n[STX]MatchEnd:12[ETX]\r\n");
    EXPECT_EQ(view->sent.size(), 3u);
}

// The registration dialog's list of Swiss Timing lines.
class RegistrationLog : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM lParam) override {
        if (message == UM_REG_LOG_LINE)
            lines.emplace_back(reinterpret_cast<const char*>(lParam));
        return 0;
    }
    std::vector<std::string> lines;
};

TEST_F(LinkSenderTest, SwissTimingKeepsItsLogWhileConnectedAndListsEveryRecord) {
    RegistrationLog dialog;
    g_hRegDlg = dialog.GetSafeHwnd();
    md->pStLink = &st;
    md->bStConnected = 1;
    view->m_bConnectState = 1;
    view->SendSwissTiming(2);
    view->SendSwissTiming(0);
    view->SendSwissTiming(3);
    view->m_bConnectState = 0;
    view->SendSwissTiming(0);
    g_hRegDlg = 0;

    EXPECT_EQ(dialog.lines, (std::vector<std::string>{"\x01tconnect\x04",
                                                      "\x01st\x02"
                                                      "3333\x04", // batteries unknown: low
                                                      "\x01tdisconnect\x04",
                                                      "\x01st\x02"
                                                      "9999\x04"}));
    const QStringList logs = QDir(QString::fromStdString(home.file("Log"))).entryList({"*.txt"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const std::string log = home.read("Log/" + logs.front().toStdString());
    // One line per record sent while connected: the time, then the record with its tokens as text.
    EXPECT_NE(log.find("-[SOH]tconnect[EOT]\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("-[SOH]st[STX]3333[EOT]\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("9999"), std::string::npos) << "nothing is logged after the disconnect";
}

TEST_F(LinkSenderTest, BracketPointsCountPerMatchOverUdpOnly) {
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->nOvrSupplier = 4;
    md->nOvrCommType = 1; // the bracket system is reached over UDP only
    view->SendBracketEvent(1, u"4", u"2", u"BLUE");
    EXPECT_TRUE(view->sent.empty());
    EXPECT_EQ(view->m_nBracketPointCount, 0);
    md->nOvrCommType = 2;
    view->SendBracketEvent(1, u"4", u"2", u"BLUE");
    view->SendBracketEvent(1, u"4", u"2", u"BLUE");
    view->SendBracketEvent(7, u"", u"", u"");
    view->SendBracketEvent(1, u"4", u"2", u"BLUE");
    ASSERT_EQ(view->sent.size(), 4u);
    EXPECT_NE(view->sent[0].bytes.find("[MS:001]"), std::string::npos);
    EXPECT_NE(view->sent[1].bytes.find("[MS:002]"), std::string::npos);
    EXPECT_EQ(view->sent[2].bytes.rfind("[NEW_FIGHT][ID:0012]", 0), 0u);
    EXPECT_NE(view->sent[3].bytes.find("[MS:001]"), std::string::npos);
}

TEST_F(LinkSenderTest, ControlCharacterRecordsWithThePreRegistrationLink) {
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->pPreRegLink = &preReg;
    md->bPreRegConnected = 1;
    md->nOvrSupplier = 5;
    md->bUsePreReg = 1;
    std::strcpy(md->szOvrRecv, "reply");
    // Only round start, winner and link-ready go, and only to the pre-registration link (TCP).
    for (int kind : {2, 3, 4, 6, 7, 8, 9, 11})
        view->SendControlCharEvent(kind, u"B", u"1", u"");
    ASSERT_EQ(view->sent.size(), 3u);
    for (const Sent& s : view->sent) {
        EXPECT_EQ(s.link, &preReg);
        EXPECT_EQ(s.commType, 1);
    }
    EXPECT_NE(view->sent[0].bytes.find("PE"), std::string::npos);
    EXPECT_NE(view->sent[1].bytes.find("WN"), std::string::npos);
    EXPECT_NE(view->sent[2].bytes.find("MT"), std::string::npos);
    EXPECT_STREQ(md->szOvrRecv, "reply"); // the program-end record was not sent, so nothing cleared
    // Supplier 0 alone: the OVR link gets every kind; the program-end record clears the OVR reply.
    md->bUsePreReg = 0;
    md->bPreRegConnected = 0;
    md->nOvrSupplier = 0;
    view->sent.clear();
    view->SendControlCharEvent(11, u"", u"", u"");
    ASSERT_EQ(view->sent.size(), 1u);
    EXPECT_EQ(view->sent[0].link, &ovr);
    EXPECT_EQ(view->sent[0].bytes, Bytes("[SOH][DC2]3[DC3]^KILL![EOT]"));
    EXPECT_STREQ(md->szOvrRecv, "");
}

TEST_F(LinkSenderTest, WtNoticesNeedALoadedMatchExceptThePortNotices) {
    md->pIvrLink = &ivr;
    md->bIvrConnected = 1;
    md->nIvrSupplier = 2;
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->nOvrSupplier = 6;
    md->szContestNo[0] = '\0';
    view->SendWtMessage(0, 3, 0, 4);
    EXPECT_TRUE(view->sent.empty());
    // The IVR link's port notice stays on the IVR link.
    view->SendWtMessage(1, 18, 5001, 0);
    ASSERT_EQ(view->sent.size(), 1u);
    EXPECT_EQ(view->sent[0].link, &ivr);
    EXPECT_EQ(view->sent[0].bytes, "Udp Port 5001 disconnected\r\n");
}

TEST_F(LinkSenderTest, TheDispatchMatrix) {
    // Every sender once with a kind its format knows; each record is named by its sender and its link.
    const std::pair<const char*, std::function<void(RecordingView&)>> senders[] = {
        {"control", [](RecordingView& v) { v.SendControlCharEvent(2, u"", u"", u""); }},
        {"colon", [](RecordingView& v) { v.SendColonEvent(9, u"Blue", u"2", u""); }},
        {"pipe", [](RecordingView& v) { v.SendPipeEvent(9, u"Blue", u"2", u""); }},
        {"bracket", [](RecordingView& v) { v.SendBracketEvent(1, u"4", u"2", u"BLUE"); }},
        {"wt", [](RecordingView& v) { v.SendWtMessage(0, 3, 0, 4); }},
        {"ivr", [](RecordingView& v) { v.SendIvrMessage(4, u"B", u"2", u"T", u""); }},
        {"tvg", [this](RecordingView& v) { v.SendTvgMessage(md->nTvgSupplier, 0, u"", u"", u""); }},
        {"st", [](RecordingView& v) { v.SendSwissTiming(0); }},
        {"json", [](RecordingView& v) { v.BuildJsonAction(3, 8, 0); }},
    };
    struct Row {
        const char* name;
        int ovrSupplier, ovrComm, ivrSupplier, tvgSupplier;
        bool preReg, stUp;
        const char* expected; // sender>link, in calling order
    };
    // Links up unless their supplier is -1; the IVR link is UDP, the TVG link serial.
    const Row rows[] = {
        {"OVR 0 Vordex", 0, 1, -1, -1, false, false, "control>ovr"},
        {"OVR 1 SICC: import only", 1, 1, -1, -1, false, false, ""},
        {"OVR 2 ATOS", 2, 1, -1, -1, false, false, "colon>ovr"},
        {"OVR 3 WOORI: the results database", 3, 1, -1, -1, false, false, ""},
        {"OVR 4 Justtool over TCP: nothing", 4, 1, -1, -1, false, false, ""},
        {"OVR 4 Justtool over UDP", 4, 2, -1, -1, false, false, "bracket>ovr"},
        {"OVR 5 VMS: import only", 5, 0, -1, -1, false, false, ""},
        {"OVR 6 Vordex-GENERIC", 6, 0, -1, -1, false, false, "wt>ovr"},
        {"OVR 7 SCEU", 7, 2, -1, -1, false, false, "pipe>ovr"},
        {"OVR 8 WT: a document for the post queue", 8, 1, -1, -1, false, false, "json>post"},
        {"pre-registration with any supplier", 5, 1, -1, -1, true, false,
         "control>prereg colon>ovr pipe>ovr"},
        {"IVR 0 Vordex", -1, 0, 0, -1, false, false, "ivr>ivr"},
        {"IVR 1 KTA", -1, 0, 1, -1, false, false, "ivr>ivr"},
        {"IVR 2 WT", -1, 0, 2, -1, false, false, "wt>ivr"},
        {"TVG 0 SICC", -1, 0, -1, 0, false, false, "tvg>tvg"},
        {"TVG 1 ATOS", -1, 0, -1, 1, false, false, "tvg>tvg"},
        {"TVG 2 WT", -1, 0, -1, 2, false, false, "wt>tvg"},
        {"WT everywhere: one call, three links", 6, 1, 2, 2, false, false, "wt>ivr wt>tvg wt>ovr"},
        {"Swiss Timing whatever the suppliers", -1, 0, -1, -1, false, true, "st>st"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        md->nOvrSupplier = row.ovrSupplier;
        md->nOvrCommType = row.ovrComm;
        md->pOvrLink = row.ovrSupplier >= 0 ? &ovr : nullptr;
        md->bOvrConnected = row.ovrSupplier >= 0;
        md->nIvrSupplier = row.ivrSupplier;
        md->nIvrCommType = 2;
        md->pIvrLink = row.ivrSupplier >= 0 ? &ivr : nullptr;
        md->bIvrConnected = row.ivrSupplier >= 0;
        md->nTvgSupplier = row.tvgSupplier;
        md->nTvgCommType = 0;
        md->pTvgLink = row.tvgSupplier >= 0 ? &tvg : nullptr;
        md->bTvgConnected = row.tvgSupplier >= 0;
        md->bUsePreReg = row.preReg;
        md->pPreRegLink = row.preReg ? &preReg : nullptr;
        md->bPreRegConnected = row.preReg;
        md->pStLink = row.stUp ? &st : nullptr;
        md->bStConnected = row.stUp;
        std::string got;
        for (const auto& [name, send] : senders) {
            const std::size_t before = view->sent.size();
            const int position = view->m_nJsonPosition;
            send(*view);
            for (std::size_t i = before; i < view->sent.size(); ++i) {
                const void* link = view->sent[i].link;
                const char* where = link == &ovr      ? "ovr"
                                    : link == &ivr    ? "ivr"
                                    : link == &tvg    ? "tvg"
                                    : link == &st     ? "st"
                                    : link == &preReg ? "prereg"
                                                      : "?";
                got += std::string(got.empty() ? "" : " ") + name + ">" + where;
                const int type = link == &ovr ? row.ovrComm : link == &ivr ? 2 : link == &preReg ? 1 : 0;
                EXPECT_EQ(view->sent[i].commType, type) << name;
            }
            if (view->m_nJsonPosition != position)
                got += std::string(got.empty() ? "" : " ") + name + ">post";
        }
        EXPECT_EQ(got, row.expected);
        view->sent.clear();
    }
}

TEST_F(LinkSenderTest, TheWireCodePageAppliesToThe8BitProtocolsOnly) {
    md->pOvrLink = &ovr;
    md->bOvrConnected = 1;
    md->nOvrSupplier = 7;
    md->pIvrLink = &ivr;
    md->bIvrConnected = 1;
    md->nIvrSupplier = 0;
    md->pTvgLink = &tvg;
    md->bTvgConnected = 1;
    md->nTvgSupplier = 2;
    std::strcpy(md->aPlayer[0].szName, "\xEA\xB9\x80");  // a Hangul syllable in UTF-8
    std::strcpy(md->aPlayer[1].szName, "M\xC3\xBCller"); // u with diaeresis
    const struct {
        UINT page;
        std::string chung, hong;
    } cases[] = {
        {65001, "\xEA\xB9\x80", "M\xC3\xBCller"}, {949, "\xB1\xE8", "M?ller"}, {1252, "?", "M\xFCller"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_TRUE(SetWireCodePage(c.page));
        view->sent.clear();
        view->SendPipeEvent(2, u"", u"", u"");
        view->SendIvrMessage(9, u"", u"", u"", u"");
        view->SendWtMessage(0, 7, 0, 0);
        ASSERT_EQ(view->sent.size(), 3u);
        const std::string body = "3|NewMatch|12|" + c.chung + "||" + c.hong + "||||0|0";
        char length[8];
        std::snprintf(length, sizeof length, "%04zu", body.size());
        EXPECT_EQ(view->sent[0].bytes, "\x02" + std::string(length) + "|" + body + "\x03")
            << "the frame counts the bytes on the wire";
        EXPECT_NE(view->sent[1].bytes.find(Bytes("[STX]" + c.chung + "[STX]" + c.hong)), std::string::npos)
            << EventText::TokensAsText(view->sent[1].bytes);
        EXPECT_EQ(view->sent[2].bytes, "at1;\xEA\xB9\x80;;;at2;M\xC3\xBCller;;\r\n")
            << "the WT text stays UTF-8";
    }
    EXPECT_FALSE(SetWireCodePage(1250));
    EXPECT_EQ(WireCodePage(), 65001u);
    home.write("ini/ExtItf.ini",
               "[OVR]\r\nWT_Protocol_CaFile=/etc/venue-ca.pem\r\n[Wire]\r\nCode_Page=949\r\n");
    LinkSettings::LoadExtItf(*md);
    EXPECT_EQ(WireCodePage(), 949u);
    EXPECT_EQ(WtApiCaFile(), "/etc/venue-ca.pem") << "the same file holds the API's CA file";
    home.write("ini/ExtItf.ini", "[OVR]\r\nTcp_Port=1\r\n");
    LinkSettings::LoadExtItf(*md);
    EXPECT_EQ(WireCodePage(), 65001u) << "no setting: UTF-8";
    EXPECT_EQ(WtApiCaFile(), "");
}

TEST(TransportTest, ANullLinkSendsNothing) {
    const char bytes[] = "x";
    for (int type : {0, 1, 2, 7})
        EXPECT_EQ(CommSend(type, nullptr, bytes, 1), 0) << type;
    CommClose(1, nullptr); // nothing to free
}

} // namespace
