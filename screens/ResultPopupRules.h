// What the superiority pop-up and the round and match result pop-ups show: their pictures, their tables of
// deciding values, the verdict and the winner line, and where they go. Pure functions of the match record;
// any thread, with the record not written meanwhile.
#pragma once

#include "platform/WinTypes.h"

#include <QRect>
#include <QString>

#include <vector>

struct MatchData;

namespace ResultPopups {

// The table: one text per side and column, Chung's first, and what each column counts.
struct Table {
    std::vector<QString> chung, hong;
    std::vector<QString> headers;
};

// The superiority pop-up: mode non-zero the totals form (total, technique points, gam-jeoms), 0 the
// golden-round form (four columns, as the match result).
Table SuperiorityTable(const MatchData& md, int mode);
int SuperiorityBackground(const MatchData& md, int mode); // PNG id
struct Verdict {
    QString text;
    COLORREF colour;
};
// The side colours of texts on the pop-ups' dark pictures (COLORREF), light enough to read there.
inline constexpr COLORREF kChungOnDark = 0xFFAA6E; // RGB(110, 170, 255)
inline constexpr COLORREF kHongOnDark = 0x6E6EFF;  // RGB(255, 110, 110)
// "CHUNG WIN" in light blue, "HONG WIN" in light red, otherwise "Tie" in white.
Verdict SuperiorityVerdict(int winSide);
// The pop-up's rectangle: its own size, at its own offset inside the public-screen rectangle.
QRect SuperiorityRect(const MatchData& md);
// Its value cells (column 0..3, side 0 Chung / 1 Hong) and the verdict, in the pop-up's pixels.
QRect SuperiorityCell(bool small, int mode, int column, int side);
QRect SuperiorityVerdictRect(bool small, int mode);

// The round result (public pop-up, round mode) by the deciding criterion, of round nCurRound.
Table RoundTable(const MatchData& md, int criterion);
// The match result (public pop-up in match mode, and the operator copy's match form).
Table MatchTable(const MatchData& md);
// The operator copy's totals form; and the side whose superiority mark it shows (-1 none): the side of
// nWinSide when all three columns are equal.
Table TotalsTable(const MatchData& md);
int TotalsMarkSide(const MatchData& md);
// PNG ids of the result pop-ups' pictures.
int ResultBackground(const MatchData& md, bool operatorCopy, int mode);

// The winner line: winner 0 Chung, 1 Hong, anything else a tie.
struct WinnerLine {
    QString text;
    COLORREF text_colour, back;
    QString flagPath; // empty: no flag (no nation row, or a tie)
    bool flagShown;   // a flag file that is not "none.gif"
};
WinnerLine WinnerLineOf(const MatchData& md, int winner);

// Where a table says what its numbers are: a column's header above its first row's cell, and a row's
// side name from `left` up to its first column's cell.
QRect HeaderRect(const QRect& firstRowCell);
QRect RowLabelRect(const QRect& firstColumnCell, int left);

// The public pop-up's geometry (mode 1 round, 0 match).
QRect PublicTitleRect(bool small, int mode);
QRect PublicRoundCaptionRect(bool small);
QRect PublicCell(bool small, int mode, int column, int side);
QRect PublicWinnerLineRect(bool small, bool withFlag);
QRect PublicFlagRect(bool small);
// The operator copy's geometry (mode 1 totals, 0 match) and its place on the primary monitor, whose top
// never goes above the monitor.
QRect OperatorCell(int mode, int column, int side);
QRect OperatorWinnerLineRect(bool withFlag);
QRect OperatorFlagRect();
QRect OperatorMarkRect(int side);
QRect OperatorRect(const MatchData& md);

} // namespace ResultPopups
