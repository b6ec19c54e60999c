#include "tools/LogTemplates.h"

#include "records/CellFormats.h"
#include "records/ExcelBook.h"

#include <utility>
#include <vector>

namespace LogTemplates {
namespace {

struct Styles {
    XfSpec title;
    XfSpec heading;
    XfSpec label;
    XfSpec value;
};

Styles MakeStyles(CellFormatTable& table) {
    FontSpec titleFont;
    titleFont.height = 320;
    titleFont.weight = 700;
    FontSpec boldFont;
    boldFont.height = 200;
    boldFont.weight = 700;
    FontSpec plainFont;
    plainFont.height = 200;

    Styles s;
    s.title.table = &table;
    s.title.font = table.FindOrAddFont(titleFont);
    s.title.alignment = 0x10; // left, vertically centred

    s.heading.table = &table;
    s.heading.font = table.FindOrAddFont(boldFont);
    s.heading.alignment = 0x12;     // centred both ways
    s.heading.border1 = 0x1111;     // thin on all sides
    s.heading.border2 = 0x04000000; // solid fill
    s.heading.fill = 22;            // grey

    s.label = s.heading;
    s.label.alignment = 0x10;

    s.value.table = &table;
    s.value.font = table.FindOrAddFont(plainFont);
    s.value.alignment = 0x12;
    s.value.border1 = 0x1111;
    s.value.fill = 1;
    return s;
}

void Put(ExcelSheet& sheet, int row, int column, const char* text, XfSpec& style) {
    ExcelCell* cell = sheet.Cell(row, column);
    cell->SetString(text);
    cell->SetFormat(style);
}

void Widths(ExcelSheet& sheet, const std::vector<std::pair<int, int>>& columnChars) {
    for (const auto& [column, chars] : columnChars) {
        ExcelLog::ColInfo info;
        info.firstColumn = info.lastColumn = static_cast<std::uint16_t>(column);
        info.width = static_cast<std::uint16_t>(chars * 256);
        info.xf = 15;
        sheet.colInfos().push_back(info);
    }
}

void HeaderSheet(ExcelSheet& sheet, Styles& st, bool team) {
    Put(sheet, 1, 1, team ? "TEAM MATCH LOG" : "MATCH LOG", st.title);
    sheet.Cell(1, 1)->SetMerge(1, 3);
    static const std::pair<int, const char*> kLabels[] = {
        {3, "Contest No."}, {4, "Date"},           {5, "Weight"},      {6, "Phase"},      {7, "Weight class"},
        {8, "Body level"},  {9, "Head level"},     {10, "Start time"}, {11, "End time"},  {12, "Blue player"},
        {13, "Red player"}, {14, "Blue nation"},   {15, "Red nation"}, {16, "Blue code"}, {17, "Red code"},
        {18, "Match time"}, {20, "Video replays"},
    };
    for (const auto& [row, label] : kLabels) {
        Put(sheet, row, 1, label, st.label);
        sheet.Cell(row, 1)->SetMerge(1, 2);
        sheet.Cell(row, 2)->SetFormat(st.label);
        sheet.Cell(row, 3)->SetFormat(st.value);
    }
    Widths(sheet, {{0, 2}, {1, 14}, {2, 6}, {3, 28}});
}

void RoundSheet(ExcelSheet& sheet, Styles& st, bool team) {
    Put(sheet, 1, 1, "ROUND SCORES", st.title);
    sheet.Cell(1, 1)->SetMerge(1, 4);
    static const std::pair<int, const char*> kHeadings[] = {
        {0, "Round"},         {1, "Player"},     {2, "Punch points"},   {3, "Punches"},
        {4, "Body points"},   {5, "Body hits"},  {6, "Head points"},    {7, "Head hits"},
        {8, "Body tech (+)"}, {9, "Body techs"}, {10, "Head tech (+)"}, {11, "Head techs"},
        {12, "Gam-jeom (+)"}, {13, "Gam-jeoms"}, {20, "Score"},
    };
    for (const auto& [column, text] : kHeadings)
        Put(sheet, 3, column, text, st.heading);
    std::vector<std::pair<int, const char*>> blocks = {
        {5, "Round 1"}, {10, "Round 2"}, {15, "Round 3"}, {20, "Round 4"}};
    if (team) {
        blocks.emplace_back(25, "Round 5");
        blocks.emplace_back(30, "Total");
    } else {
        blocks.emplace_back(25, "Total"); // a golden round is counted in the total
    }
    for (const auto& [row, text] : blocks) {
        Put(sheet, row, 0, text, st.label);
        sheet.Cell(row, 0)->SetMerge(2, 1);
        sheet.Cell(row + 1, 0)->SetFormat(st.label);
        for (int side = 0; side < 2; ++side) {
            for (int column = 1; column <= 13; ++column)
                sheet.Cell(row + side, column)->SetFormat(st.value);
            sheet.Cell(row + side, 20)->SetFormat(st.value);
        }
    }
    Widths(sheet, {{0, 10}, {1, 30}, {20, 8}});
}

void EventSheet(ExcelSheet& sheet, Styles& st) {
    Put(sheet, 1, 1, "EVENTS", st.title);
    sheet.Cell(1, 1)->SetMerge(1, 3);
    Put(sheet, 3, 7, "Blue", st.heading);
    sheet.Cell(3, 7)->SetMerge(1, 5);
    Put(sheet, 3, 12, "Red", st.heading);
    sheet.Cell(3, 12)->SetMerge(1, 5);
    static const char* const kHeadings[] = {"Round",  "Event",  "Clock",  "Time",   "Source", "Score",
                                            "Points", "Count",  "Tech 1", "Tech 2", "Tech 3", "Points",
                                            "Count",  "Tech 1", "Tech 2", "Tech 3"};
    for (int column = 1; column <= 16; ++column)
        Put(sheet, 4, column, kHeadings[column - 1], st.heading);
    Widths(sheet, {{0, 2}, {1, 7}, {2, 28}, {3, 8}, {4, 14}, {5, 8}, {6, 9}});
}

} // namespace

std::unique_ptr<ExcelBook> Build(bool team) {
    auto book = ExcelBook::Blank({u"Match", u"Round scores", u"Events"});
    CellFormatTable table(*book);
    Styles st = MakeStyles(table);
    HeaderSheet(*book->Sheet(0), st, team);
    RoundSheet(*book->Sheet(1), st, team);
    EventSheet(*book->Sheet(2), st);
    return book;
}

bool Write(bool team, const std::string& path) {
    auto book = Build(team);
    return book->storage().Create(path) && book->storage().MakeFile() == 1 && book->Save();
}

} // namespace LogTemplates
