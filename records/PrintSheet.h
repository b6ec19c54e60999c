// The printed result sheet of one match: on every page the header with the class, winner, match number
// and time, both players with their totals and the score summary, then the event table listing both
// sides' events in the order they were logged. It reads the match row and the event rows loaded by the
// result sheet dialog and never queries the database. User-interface thread only.
#pragma once

#include "app/DbTemp.h"
#include "records/ResultSheet.h"

#include <string>
#include <vector>

class CPage;

// What one print job of the sheet draws.
struct ResultSheetJob {
    const std::u16string* row = nullptr; // the 40 slots of the match row
    const std::vector<TTK_DbTemp>* chung = nullptr;
    const std::vector<TTK_DbTemp>* hong = nullptr;
    ResultPages pages;
    int rowsPerPage = ResultTable::kMaxRowsPerPage;
    double tableBottom = ResultTable::kBottom; // inches
    int roundSeconds = 0;                      // the round time the precise times are read against
};

// A job over the shared match row and event rows, paginated for a printable area of this height.
ResultSheetJob SharedResultSheetJob(double printableHeight, int roundSeconds);

// Draws page pageNumber (1-based) of the sheet completely.
void PrintMatchResultPage(CPage& page, int pageNumber, const ResultSheetJob& job);

// The judge code as printed: "1" V1, "2" V2, "3" H3, "4" H4, "5" H5, anything else "?".
const char16_t* JudgeCodeText(std::u16string_view code);
