#include "screens/ResultPopupRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"
#include "screens/ExtScrDlg.h"
#include "screens/ScoreboardRules.h"

#include <algorithm>
#include <array>

namespace ResultPopups {

namespace {

int Opponent(int side) {
    return side ^ 1;
}

int Tally(const MatchData& md, int side, int row, int index) {
    return md.aSide[side].nTechTally[row][std::clamp(index, 0, kMaxRounds - 1)];
}

int GamJeoms(const MatchData& md, int side) {
    return md.aSide[side].nPenaltyCount1 + md.aSide[side].nPenaltyCount2;
}

QString N(int value) {
    return QString::number(value);
}

template <typename F> Table Columns(F&& column, int count, std::vector<QString> headers) {
    Table table;
    table.headers = std::move(headers);
    for (int c = 0; c < count; ++c) {
        table.chung.push_back(column(0, c));
        table.hong.push_back(column(1, c));
    }
    return table;
}

} // namespace

Table TotalsTable(const MatchData& md) {
    return Columns(
        [&](int side, int column) {
            switch (column) {
            case 0:
                return N(ScoreRules::MatchTotal(md, side));
            case 1: {
                int points = 0;
                for (int r = 0; r < 3; ++r)
                    points += Tally(md, side, 10, r);
                return N(points);
            }
            default:
                return N(GamJeoms(md, side));
            }
        },
        3, {QStringLiteral("TOTAL"), QStringLiteral("TECHNIQUE"), QStringLiteral("GAM-JEOM")});
}

int TotalsMarkSide(const MatchData& md) {
    const Table table = TotalsTable(md);
    if (table.chung != table.hong || (md.nWinSide != 0 && md.nWinSide != 1))
        return -1;
    return md.nWinSide;
}

Table MatchTable(const MatchData& md) {
    const bool judged = md.nCompetitionType == 2;
    const int golden = md.nRound; // the golden round's index
    return Columns(
        [&](int side, int column) {
            const TTK_SideScore& s = md.aSide[side];
            switch (column) {
            case 0:
                return N(judged ? s.nPssHits[0] : Tally(md, side, 0, golden));
            case 1:
                return N(judged ? s.nRoundWins : s.nPssHits[0]);
            case 2: {
                if (!judged)
                    return N(s.nRoundWins);
                int count = 0;
                for (int r = 0; r < std::min(md.nRound, kMaxRounds); ++r)
                    count += Tally(md, side, 7, r);
                return N(count);
            }
            default:
                return N(GamJeoms(md, side));
            }
        },
        4,
        judged ? std::vector<QString>{QStringLiteral("HITS"), QStringLiteral("ROUNDS"),
                                      QStringLiteral("TRUNK TECH."), QStringLiteral("GAM-JEOM")}
               : std::vector<QString>{QStringLiteral("PUNCH"), QStringLiteral("HITS"),
                                      QStringLiteral("ROUNDS"), QStringLiteral("GAM-JEOM")});
}

Table SuperiorityTable(const MatchData& md, int mode) {
    return mode != 0 ? TotalsTable(md) : MatchTable(md);
}

int SuperiorityBackground(const MatchData& md, int mode) {
    const bool small = md.nDisplayResolution == 1;
    if (mode != 0)
        return small ? 891 : 890;
    if (md.nCompetitionType == 2)
        return small ? 882 : 881;
    return small ? 859 : 858;
}

Verdict SuperiorityVerdict(int winSide) {
    if (winSide == 0)
        return {QStringLiteral("CHUNG WIN"), kChungOnDark};
    if (winSide == 1)
        return {QStringLiteral("HONG WIN"), kHongOnDark};
    return {QStringLiteral("Tie"), 0xFFFFFF};
}

QRect SuperiorityRect(const MatchData& md) {
    const QRect screen = PublicScreenRect(md);
    if (md.nDisplayResolution == 1)
        return QRect(screen.topLeft() + QPoint(218, 147), QSize(846, 427));
    return QRect(screen.topLeft() + QPoint(325, 220), QSize(1270, 641));
}

QRect SuperiorityCell(bool small, int mode, int column, int side) {
    if (column < 0 || column > 3 || side < 0 || side > 1)
        return {};
    if (mode != 0) {
        if (column > 2)
            return {};
        return small ? QRect(208 + 195 * column, side ? 215 : 143, 192, 70)
                     : QRect(312 + 292 * column, side ? 322 : 214, 289, 105);
    }
    if (!small) {
        static constexpr std::array<int, 4> x{312, 531, 750, 969};
        return QRect(x[column], side ? 333 : 224, 216, 108);
    }
    if (column == 0)
        return side ? QRect(208, 222, 143, 70) : QRect(208, 143, 192, 75);
    return QRect(208 + 146 * column, side ? 222 : 150, 143, 70);
}

QRect SuperiorityVerdictRect(bool small, int mode) {
    if (mode != 0)
        return small ? QRect(10, 320, 825, 100) : QRect(10, 478, 1250, 153);
    return small ? QRect(10, 320, 825, 92) : QRect(10, 485, 1250, 145);
}

Table RoundTable(const MatchData& md, int criterion) {
    const int r = std::clamp(md.nCurRound, 1, kMaxRounds) - 1;
    return Columns(
        [&](int side, int column) {
            switch (column) {
            case 0:
                return N(Tally(md, side, 10, r));
            case 1: {
                const auto net = [&](int row, int less) {
                    const int minus = Tally(md, side, less, r);
                    return Tally(md, side, row, r) - (minus >= 1 ? minus : 0);
                };
                switch (criterion) {
                case 2:
                    return QStringLiteral("%1 - %2").arg(net(5, 9)).arg(
                        md.nCompetitionType == 2 ? QStringLiteral("S") : QStringLiteral("H"));
                case 3:
                    return QStringLiteral("%1 - B").arg(net(3, 7));
                case 4:
                    return QStringLiteral("%1 - P").arg(Tally(md, side, 1, r));
                case 7:
                    return QStringLiteral("%1 - KD").arg(Tally(md, side, 12, r));
                default: {
                    const TTK_SideScore& opponent = md.aSide[Opponent(side)];
                    return QStringLiteral("%1 - GJ").arg(opponent.nRoundPenalty1[r] +
                                                         opponent.nRoundPenalty2[r]);
                }
                }
            }
            default:
                return N(md.aSide[side].nPssHits[std::clamp(md.nCurRound, 0, kRoundNumberSlots - 1)]);
            }
        },
        3, {QStringLiteral("TECHNIQUE"), QStringLiteral("DECIDED BY"), QStringLiteral("HITS")});
}

int ResultBackground(const MatchData& md, bool operatorCopy, int mode) {
    if (mode == 1)
        return operatorCopy ? 889 : 888;
    if (md.nCompetitionType == 2)
        return operatorCopy ? 876 : 734;
    return operatorCopy ? 874 : 736;
}

WinnerLine WinnerLineOf(const MatchData& md, int winner) {
    if (winner != 0 && winner != 1)
        return {QStringLiteral("Tie"), 0x000000, 0x00FFFF, {}, false};
    const TTK_Player& player = md.aPlayer[winner];
    WinnerLine line;
    line.text = QStringLiteral("%1 (%2)").arg(Scoreboard::RecordText(player.szName),
                                              Scoreboard::RecordText(player.szNationCode));
    line.text_colour = 0xFFFFFF;
    // The board's side colours: white reads on them (pure red would not).
    line.back = Scoreboard::SideColour(winner, false);
    line.flagPath = Scoreboard::FlagPath(md, winner);
    line.flagShown = !line.flagPath.isEmpty() && !line.flagPath.contains(QStringLiteral("none.gif"));
    return line;
}

QRect HeaderRect(const QRect& firstRowCell) {
    const int height = firstRowCell.height() / 2;
    return QRect(firstRowCell.x(), firstRowCell.y() - height, firstRowCell.width(), height);
}

QRect RowLabelRect(const QRect& firstColumnCell, int left) {
    return QRect(left, firstColumnCell.y(), firstColumnCell.x() - left - 8, firstColumnCell.height());
}

QRect PublicTitleRect(bool small, int mode) {
    if (small)
        return QRect(382, 79, 517, 68);
    return mode == 1 ? QRect(245, 118, 1430, 103) : QRect(573, 118, 775, 103);
}

QRect PublicRoundCaptionRect(bool small) {
    return small ? QRect(382, 133, 517, 133) : QRect(573, 200, 775, 200);
}

QRect PublicCell(bool small, int mode, int column, int side) {
    const int columns = mode == 1 ? 3 : 4;
    if (column < 0 || column >= columns || side < 0 || side > 1)
        return {};
    if (small) {
        static constexpr std::array<int, 3> round{434, 663, 892};
        static constexpr std::array<int, 4> match{434, 606, 778, 949};
        return mode == 1 ? QRect(round[column], side ? 593 : 518, 225, 69)
                         : QRect(match[column], side ? 593 : 518, 169, 68);
    }
    static constexpr std::array<int, 3> round{652, 995, 1338};
    static constexpr std::array<int, 4> match{652, 909, 1167, 1424};
    return mode == 1 ? QRect(round[column], side ? 890 : 778, 335, 103)
                     : QRect(match[column], side ? 890 : 778, 251, 103);
}

QRect PublicWinnerLineRect(bool small, bool withFlag) {
    if (small)
        return withFlag ? QRect(400, 307, 717, 133) : QRect(163, 307, 954, 133);
    return withFlag ? QRect(600, 460, 1075, 200) : QRect(245, 460, 1430, 200);
}

QRect PublicFlagRect(bool small) {
    return small ? QRect(163, 307, 200, 133) : QRect(245, 460, 300, 200);
}

QRect OperatorCell(int mode, int column, int side) {
    const int columns = mode == 1 ? 3 : 4;
    if (column < 0 || column >= columns || side < 0 || side > 1)
        return {};
    static constexpr std::array<int, 4> x{346, 482, 619, 755};
    return QRect(x[column], side ? 472 : 412, 133, 55);
}

QRect OperatorWinnerLineRect(bool withFlag) {
    return withFlag ? QRect(318, 244, 570, 106) : QRect(130, 244, 758, 106);
}

QRect OperatorFlagRect() {
    return QRect(130, 244, 159, 106);
}

QRect OperatorMarkRect(int side) {
    return QRect(788, side == 1 ? 477 : 417, 45, 45);
}

QRect OperatorRect(const MatchData& md) {
    return QRect((md.nPrimaryRight - 1020) / 2, std::max(0, (md.nPrimaryBottom - 574) / 2 - 90), 1024, 574);
}

} // namespace ResultPopups
