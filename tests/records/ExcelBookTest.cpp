// The workbook: cells to records and back, merged areas, saving and loading through the compound file,
// the INDEX and DBCELL offsets, and cell formats found or added.
#include "records/ExcelBook.h"
#include "platform/CompoundFile.h"
#include "records/CellFormats.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <utility>

using namespace ExcelLog;

namespace {

// Every record of a stream with the stream offset it starts at.
std::vector<std::pair<std::size_t, Record>> RecordsOf(const Bytes& stream) {
    std::vector<std::pair<std::size_t, Record>> out;
    ByteReader in(stream);
    while (!in.atEnd()) {
        const std::size_t at = in.pos();
        out.emplace_back(at, Record::Read(in));
    }
    return out;
}

// The records of worksheet `k` (0-based), BOF to EOF.
std::vector<std::pair<std::size_t, Record>> SheetRecords(const Bytes& stream, int k) {
    std::vector<std::pair<std::size_t, Record>> out;
    int sheet = -2; // the globals block comes first
    for (auto& [at, r] : RecordsOf(stream)) {
        if (r.code == kBof)
            ++sheet;
        if (sheet == k)
            out.emplace_back(at, r);
    }
    return out;
}

std::uint16_t U16(const Bytes& d, std::size_t at) {
    return static_cast<std::uint16_t>(d.at(at) | d.at(at + 1) << 8);
}
std::uint32_t U32(const Bytes& d, std::size_t at) {
    return U16(d, at) | static_cast<std::uint32_t>(U16(d, at + 2)) << 16;
}

// The cell records (code, row, column) of sheet 0 row `row`.
std::vector<std::tuple<std::uint16_t, int, int>> CellsOfRow(const Bytes& stream, int row) {
    std::vector<std::tuple<std::uint16_t, int, int>> out;
    for (const auto& [at, r] : SheetRecords(stream, 0)) {
        const bool cell = r.code == kBlank || r.code == kRk || r.code == kMulRk || r.code == kNumber ||
                          r.code == kLabelSst || r.code == kFormula;
        if (cell && U16(r.data, 0) == row)
            out.emplace_back(r.code, U16(r.data, 0), U16(r.data, 2));
    }
    return out;
}

TEST(ExcelBook, CellsBecomeTheSmallestFaithfulRecords) {
    auto book = ExcelBook::Blank({u"One"});
    ExcelSheet& s = *book->Sheet(0);
    // row 0: three integers, a gap, a lone integer
    s.Cell(0, 0)->SetInteger(1);
    s.Cell(0, 1)->SetInteger(2);
    s.Cell(0, 2)->SetInteger(3);
    s.Cell(0, 4)->SetInteger(9);
    // row 1: 1.5 as an RK, 0.123 as a NUMBER, an integer too large for an RK, an emptied text
    s.Cell(1, 0)->SetDouble(1.5);
    s.Cell(1, 1)->SetDouble(0.123);
    s.Cell(1, 2)->SetInteger(1 << 29);
    s.Cell(1, 3)->SetString("x");
    s.Cell(1, 3)->SetString("");
    s.Cell(1, 4)->SetString("text");
    const Bytes stream = book->Write();

    using C = std::tuple<std::uint16_t, int, int>;
    EXPECT_EQ(CellsOfRow(stream, 0), (std::vector<C>{{kMulRk, 0, 0}, {kRk, 0, 4}})); // the gap is no cell
    EXPECT_EQ(
        CellsOfRow(stream, 1),
        (std::vector<C>{{kRk, 1, 0}, {kNumber, 1, 1}, {kNumber, 1, 2}, {kBlank, 1, 3}, {kLabelSst, 1, 4}}));
    for (const auto& [at, r] : SheetRecords(stream, 0)) {
        if (r.code == kRk && U16(r.data, 0) == 1) {
            EXPECT_EQ(U32(r.data, 6), 0x4062C001u); // 150.0 with bit 0
        }
        if (r.code == kMulRk) {
            EXPECT_EQ(U32(r.data, 6), 1u * 4 + 2);
            EXPECT_EQ(U16(r.data, r.data.size() - 2), 2); // last column
        }
    }

    // Read back: the same values, kinds and widths.
    ExcelBook back;
    ASSERT_TRUE(back.Read(stream));
    ExcelSheet& b = *back.Sheet(0);
    EXPECT_EQ(b.Cell(0, 2)->integer(), 3);
    EXPECT_EQ(b.Cell(1, 0)->kind(), ExcelCell::Floating);
    EXPECT_EQ(b.Cell(1, 0)->floating(), 1.5);
    EXPECT_EQ(b.Cell(1, 1)->floating(), 0.123);
    EXPECT_EQ(b.Cell(1, 2)->floating(), 1 << 29);
    EXPECT_EQ(b.Cell(1, 3)->kind(), ExcelCell::Undefined);
    EXPECT_STREQ(b.Cell(1, 4)->GetString(), "text");
}

TEST(ExcelBook, TextsShareOneSharedStringAndKeepTheirCharacters) {
    auto book = ExcelBook::Blank({u"One", u"Two"});
    book->Sheet(0)->Cell(0, 0)->SetString("KIM Min-su");
    book->Sheet(0)->Cell(0, 1)->SetString("김민수");
    book->Sheet(1)->Cell(3, 3)->SetString("KIM Min-su");
    book->Sheet(1)->Cell(3, 4)->SetString("Müller");
    book->Sheet(1)->Cell(3, 5)->SetWString(u"wide");
    const Bytes stream = book->Write();
    EXPECT_EQ(book->globals().sstTotal, 5u);
    EXPECT_EQ(book->globals().sst,
              (std::vector<BiffString>{
                  {u"KIM Min-su", false}, {u"김민수", true}, {u"Müller", false}, {u"wide", true}}));
    ExcelBook back;
    ASSERT_TRUE(back.Read(stream));
    // Read back, 16-bit shared strings are wide texts.
    EXPECT_EQ(back.Sheet(0)->Cell(0, 1)->kind(), ExcelCell::WideText);
    EXPECT_EQ(back.Sheet(0)->Cell(0, 1)->wideText(), u"김민수");
    EXPECT_STREQ(back.Sheet(1)->Cell(3, 4)->GetString(), "Müller");
    EXPECT_EQ(back.Sheet(1)->Cell(3, 5)->kind(), ExcelCell::WideText);
}

TEST(ExcelBook, MergedAreasAreWrittenAsRangesAndReadBack) {
    auto book = ExcelBook::Blank({u"One"});
    book->Sheet(0)->Cell(4, 1)->SetMerge(2, 3);
    book->Sheet(0)->Cell(4, 1)->SetString("title");
    const Bytes stream = book->Write();
    int mergedRecords = 0;
    for (const auto& [at, r] : SheetRecords(stream, 0)) {
        if (r.code != kMergedCells)
            continue;
        ++mergedRecords;
        ASSERT_EQ(r.data.size(), 10u);
        EXPECT_EQ(U16(r.data, 0), 1);
        EXPECT_EQ(U16(r.data, 2), 4); // rows 4-5
        EXPECT_EQ(U16(r.data, 4), 5);
        EXPECT_EQ(U16(r.data, 6), 1); // columns 1-3
        EXPECT_EQ(U16(r.data, 8), 3);
    }
    EXPECT_EQ(mergedRecords, 1);
    ExcelBook back;
    ASSERT_TRUE(back.Read(stream));
    EXPECT_EQ(back.Sheet(0)->Cell(4, 1)->mergeHeight(), 2);
    EXPECT_EQ(back.Sheet(0)->Cell(4, 1)->mergeWidth(), 3);
}

TEST(ExcelBook, SheetPositionsIndexAndDbCellsPointWhereTheRecordsAre) {
    auto book = ExcelBook::Blank({u"One", u"Two"});
    for (int row = 0; row < 70; ++row) // three row blocks
        for (int column = 0; column < 3; ++column)
            book->Sheet(1)->Cell(row, column)->SetInteger(row * 10 + column);
    book->Sheet(0)->Cell(0, 0)->SetString("a");
    const Bytes stream = book->Write();
    const auto all = RecordsOf(stream);
    std::map<std::size_t, std::uint16_t> codeAt;
    for (const auto& [at, r] : all)
        codeAt[at] = r.code;

    // BOUNDSHEET positions name the worksheets' BOF records.
    std::vector<std::size_t> positions;
    for (const auto& [at, r] : all)
        if (r.code == kBoundSheet)
            positions.push_back(U32(r.data, 0));
    ASSERT_EQ(positions.size(), 2u);
    for (const std::size_t p : positions)
        EXPECT_EQ(codeAt[p], kBof);

    const auto sheet = SheetRecords(stream, 1);
    const auto index =
        std::find_if(sheet.begin(), sheet.end(), [](const auto& x) { return x.second.code == kIndex; });
    ASSERT_NE(index, sheet.end());
    const Bytes& d = index->second.data;
    EXPECT_EQ(U32(d, 8), 70u); // last row + 1
    ASSERT_EQ(d.size(), 16u + 4 * 3);
    for (int b = 0; b < 3; ++b) {
        const std::size_t dbCellAt = U32(d, 16 + 4 * b);
        ASSERT_EQ(codeAt[dbCellAt], kDbCell) << b;
        const auto dbCell =
            std::find_if(all.begin(), all.end(), [&](const auto& x) { return x.first == dbCellAt; });
        const Bytes& cell = dbCell->second.data;
        const std::size_t firstRow = dbCellAt - U32(cell, 0);
        ASSERT_EQ(codeAt[firstRow], kRow);
        // Each row offset leads to that row's first cell: from the second ROW record, then cell to cell.
        std::size_t at = firstRow + 20 + U16(cell, 4);
        for (std::size_t i = 0; i < (cell.size() - 4) / 2; ++i) {
            if (i > 0)
                at += U16(cell, 4 + 2 * i);
            ASSERT_EQ(codeAt[at], kMulRk) << b << " " << i;
            const auto row =
                std::find_if(all.begin(), all.end(), [&](const auto& x) { return x.first == at; });
            EXPECT_EQ(U16(row->second.data, 0), b * 32 + i);
        }
    }
}

TEST(ExcelBook, SavingTwiceGivesTheSameBytesAndTheFileLoadsBack) {
    TempHome home;
    const std::string path = home.file("Log/book.xls");
    auto book = ExcelBook::Blank({u"A", u"B", u"C"});
    book->Sheet(2)->Cell(5, 1)->SetInteger(4);
    book->Sheet(2)->Cell(5, 2)->SetString("Red gam-jeom");
    ASSERT_TRUE(book->storage().Create(path));
    ASSERT_EQ(book->storage().MakeFile(), 1);
    ASSERT_TRUE(book->Save());
    const std::string first = home.read("Log/book.xls");
    ASSERT_TRUE(book->Save());
    EXPECT_EQ(home.read("Log/book.xls"), first);
    EXPECT_EQ(book->Write(), book->Write());

    ExcelBook back;
    ASSERT_EQ(back.Load(path), 1);
    ASSERT_EQ(back.SheetCount(), 3);
    EXPECT_EQ(back.Sheet(2)->Cell(5, 1)->integer(), 4);
    EXPECT_STREQ(back.Sheet(2)->Cell(5, 2)->GetString(), "Red gam-jeom");
    // Loaded and saved unchanged, the book writes the same stream.
    EXPECT_EQ(back.Write(), book->Write());
}

TEST(ExcelBook, StorageResults) {
    TempHome home;
    ExcelStorage storage;
    Bytes bytes{1};
    EXPECT_EQ(storage.ReadFile(bytes), -1);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(storage.WriteFile(bytes), -1);
    storage.Close(); // nothing open: nothing happens

    const std::string path = home.file("Log/s.xls");
    home.write("Log/s.xls", "not a compound file");
    EXPECT_FALSE(storage.Open(path));
    EXPECT_TRUE(storage.Create(path));       // replaces it
    EXPECT_EQ(storage.WriteFile(bytes), -1); // no stream made yet
    ASSERT_EQ(storage.MakeFile(), 1);
    Bytes read{9};
    EXPECT_EQ(storage.ReadFile(read), 1); // the empty stream
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(storage.WriteFile(Bytes{1, 2, 3}), 1);
    EXPECT_EQ(storage.ReadFile(read), 1);
    EXPECT_EQ(read, (Bytes{1, 2, 3}));
    EXPECT_FALSE(storage.Create(home.file("no such folder/s.xls")));
}

TEST(ExcelBook, DamagedWorkbooksFailTheLoad) {
    auto book = ExcelBook::Blank({u"One"});
    book->Sheet(0)->Cell(2, 2)->SetString("abc");
    book->Sheet(0)->Cell(2, 3)->SetInteger(5);
    book->Sheet(0)->Cell(2, 4)->SetInteger(6);
    const Bytes good = book->Write();

    std::vector<std::pair<const char*, Bytes>> cases;
    cases.emplace_back("empty", Bytes{});
    cases.emplace_back("truncated", Bytes(good.begin(), good.end() - 30));
    Bytes badIndex = good;   // the LABELSST's string index made 1000
    Bytes badColumns = good; // the MULRK's last column made wrong
    Bytes badMerge = good;
    for (const auto& [at, r] : SheetRecords(good, 0)) {
        if (r.code == kLabelSst)
            Set32(badIndex, at + 4 + 6, 1000);
        if (r.code == kMulRk)
            Set16(badColumns, at + 4 + r.data.size() - 2, 200);
    }
    cases.emplace_back("string index", badIndex);
    cases.emplace_back("MULRK columns", badColumns);
    Bytes noGlobals(good.begin() + static_cast<std::ptrdiff_t>(SheetRecords(good, 0).front().first),
                    good.end());
    cases.emplace_back("no globals", noGlobals);
    for (const auto& [name, stream] : cases) {
        SCOPED_TRACE(name);
        ExcelBook back;
        EXPECT_FALSE(back.Read(stream));
        EXPECT_EQ(back.SheetCount(), 0);
    }
    ExcelBook fine;
    EXPECT_TRUE(fine.Read(good));

    TempHome home;
    home.write("x.xls", "plain text");
    ExcelBook fromFile;
    EXPECT_EQ(fromFile.Load(home.file("x.xls")), 0);
    EXPECT_EQ(fromFile.Load(home.file("missing.xls")), 0);
}

// The shipped template with two cells moved to the sheet's last row and columns, as a damaged file may
// have them: the book holds the cells it read and no grid up to them.
TEST(ExcelBook, FarCellsOfADamagedTemplateCostNoGrid) {
    QFile file(QStringLiteral(BELVANTA_SOURCE_DIR "/fuzz/corpus/excel_book/far-cells"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const Bytes stream(bytes.begin(), bytes.end());
    ExcelBook book;
    ASSERT_TRUE(book.Read(stream));
    const ExcelSheet& sheet = *book.Sheet(0);
    EXPECT_EQ(sheet.rows(), ExcelSheet::kMaxRow + 1);
    EXPECT_EQ(sheet.columns(), ExcelSheet::kMaxColumn + 1);
    const ExcelCell* far = sheet.Peek(ExcelSheet::kMaxRow, ExcelSheet::kMaxColumn);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(sheet.Peek(ExcelSheet::kMaxRow - 1, 7)->kind(), ExcelCell::Undefined);

    const Bytes written = book.Write();
    // 65536 ROW records and their blocks' DBCELLs come to 1.5 MB; a grid of blank cells up to the far
    // corner would be over a hundred.
    EXPECT_LT(written.size(), std::size_t{2} << 20);
    ExcelBook back;
    ASSERT_TRUE(back.Read(written));
    const ExcelCell* farBack = back.Sheet(0)->Peek(ExcelSheet::kMaxRow, ExcelSheet::kMaxColumn);
    ASSERT_NE(farBack, nullptr);
    EXPECT_EQ(farBack->kind(), far->kind());
    EXPECT_EQ(farBack->xf(), far->xf());
}

TEST(ExcelBook, ChartSheetsAreSkippedWithTheirNames) {
    auto book = ExcelBook::Blank({u"A", u"B"});
    book->Sheet(1)->Cell(0, 0)->SetString("second");
    Bytes stream = book->Write();
    // A chart sheet's name before the SST and its block (with a block inside it) before the first worksheet.
    Bytes chart;
    BOF{.type = 0x20}.ToRecord().Write(chart);
    BOF{.type = 0x20}.ToRecord().Write(chart);
    Record{kEof, {}, {}}.Write(chart);
    Record{0x1002, Bytes(8, 0), {}}.Write(chart);
    Record{kEof, {}, {}}.Write(chart);
    const std::size_t firstSheet = SheetRecords(stream, 0).front().first;
    stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(firstSheet), chart.begin(), chart.end());
    Bytes name;
    BoundSheet{.sheetType = 2, .name = {u"Chart", false}}.ToRecord().Write(name);
    std::size_t sst = 0;
    for (const auto& [at, r] : RecordsOf(stream))
        if (r.code == kSst)
            sst = at;
    stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(sst), name.begin(), name.end());

    ExcelBook back;
    ASSERT_TRUE(back.Read(stream));
    ASSERT_EQ(back.SheetCount(), 2);
    EXPECT_STREQ(back.Sheet(1)->Cell(0, 0)->GetString(), "second");
    ASSERT_EQ(back.globals().sheets.size(), 2u);
    EXPECT_EQ(back.globals().sheets[1].name.text, u"B");
}

TEST(ExcelBook, FormulasTravelWithTheirFollowingRecordsAndText) {
    auto book = ExcelBook::Blank({u"A"});
    auto holder = std::make_shared<FormulaHolder>();
    holder->result = {0, 0, 0, 0, 0, 0, 0xFF, 0xFF}; // a text result
    holder->options = 0x0008;
    holder->tokens = {0x03, 0x00, 0x01, 0x00, 0x00, 0x00}; // kept as they are
    holder->followCode = kShrFmla1;
    holder->followData = {1, 0, 2, 0, 3, 4, 0, 0, 9, 9};
    holder->hasText = true;
    holder->text = {u"Total", false};
    book->Sheet(0)->Cell(2, 1)->SetFormula(holder);
    auto plain = std::make_shared<FormulaHolder>(); // a number result: no STRING record
    plain->tokens = {0x1E, 0x05, 0x00};
    book->Sheet(0)->Cell(2, 2)->SetFormula(plain);
    const Bytes stream = book->Write();

    std::vector<std::uint16_t> codes;
    for (const auto& [at, r] : SheetRecords(stream, 0))
        if (r.code == kFormula || r.code == kShrFmla1 || r.code == kString)
            codes.push_back(r.code);
    EXPECT_EQ(codes, (std::vector<std::uint16_t>{kFormula, kShrFmla1, kString, kFormula}));

    ExcelBook back;
    ASSERT_TRUE(back.Read(stream));
    const ExcelCell* cell = back.Sheet(0)->Cell(2, 1);
    ASSERT_EQ(cell->kind(), ExcelCell::Formula);
    EXPECT_STREQ(cell->GetString(), "Total");
    EXPECT_EQ(cell->formula()->tokens, holder->tokens);
    EXPECT_EQ(cell->formula()->followData, holder->followData);
    EXPECT_EQ(cell->formula()->result, holder->result);
    EXPECT_EQ(back.Sheet(0)->Cell(2, 2)->formula()->tokens, plain->tokens);
    EXPECT_FALSE(back.Sheet(0)->Cell(2, 2)->formula()->hasText);
    EXPECT_EQ(back.Write(), stream);
}

TEST(ExcelBook, FormattedEmptyCellsKeepTheirFormat) {
    auto book = ExcelBook::Blank({u"A"});
    book->Sheet(0)->Cell(0, 0)->SetString("label");
    book->Sheet(0)->Cell(6, 4)->SetXf(16); // a bordered box still to be filled
    ExcelBook back;
    ASSERT_TRUE(back.Read(book->Write()));
    EXPECT_EQ(back.Sheet(0)->rows(), 7);
    EXPECT_EQ(back.Sheet(0)->columns(), 5);
    EXPECT_EQ(back.Sheet(0)->Peek(6, 4)->xf(), 16);
}

TEST(ExcelBook, CellsOutsideTheSheetAreNotAddressable) {
    auto book = ExcelBook::Blank({u"One"});
    ExcelSheet& s = *book->Sheet(0);
    EXPECT_EQ(s.Cell(0, 256), nullptr);
    EXPECT_EQ(s.Cell(65536, 0), nullptr);
    EXPECT_EQ(s.Cell(-1, 0), nullptr);
    ASSERT_NE(s.Cell(3, 7), nullptr);
    EXPECT_EQ(s.rows(), 4);
    EXPECT_EQ(s.columns(), 8);
    EXPECT_EQ(s.Cell(1, 1)->kind(), ExcelCell::Undefined);
    EXPECT_EQ(s.Cell(1, 1)->xf(), 15); // the default cell format, not a style
}

// A copy of the book brought up to date with the changes taken from it, one save's at a time or several
// merged (as when the writer of the copy lags behind), writes the very stream the book writes.
TEST(ExcelBook, ACopyBroughtUpToDateWithTheChangesWritesTheBooksStream) {
    Bytes shipped;
    ASSERT_EQ(platform::ReadCompoundStream(BELVANTA_SOURCE_DIR "/resources/home/Log/Log file.xls", "Workbook",
                                           shipped),
              platform::CompoundResult::Ok);
    ExcelBook book;
    ASSERT_TRUE(book.Read(shipped));
    ASSERT_EQ(book.SheetCount(), 3);
    const std::unique_ptr<ExcelBook> copy = book.Copy();
    ASSERT_EQ(copy->Write(), book.Write());

    auto formula = std::make_shared<FormulaHolder>();
    formula->tokens = {0x1E, 0x05, 0x00};
    struct Step {
        const char* what;
        std::function<void(ExcelBook&)> change; // null: none
        bool handOver;                          // false: taken and merged with the next step's
    };
    const Step steps[] = {
        {"texts and numbers on every sheet",
         [](ExcelBook& b) {
             b.Sheet(0)->Cell(3, 3)->SetString("A101");
             b.Sheet(1)->Cell(25, 20)->SetInteger(157);
             b.Sheet(2)->Cell(5, 2)->SetString("Red body point");
             b.Sheet(2)->Cell(5, 4)->SetDouble(1.5);
             b.Sheet(2)->Cell(5, 1)->SetWString(u"김민서");
         },
         true},
        {"a new look",
         [](ExcelBook& b) {
             CellFormatTable table(b);
             FontSpec font;
             font.height = 300;
             font.colour = 4;
             XfSpec spec;
             spec.table = &table;
             spec.font = table.FindOrAddFont(font);
             spec.fill = 5;
             b.Sheet(2)->Cell(6, 2)->SetFormat(spec);
         },
         false},
        {"the same row again, and a cell cleared",
         [](ExcelBook& b) {
             b.Sheet(2)->Cell(5, 2)->SetString("Blue body point");
             b.Sheet(2)->Cell(5, 4)->Clear();
         },
         true},
        {"a far cell, a merged area and column widths",
         [](ExcelBook& b) {
             b.Sheet(2)->Cell(300, 16)->SetInteger(7);
             b.Sheet(0)->Cell(40, 1)->SetMerge(2, 3);
             b.Sheet(2)->colInfos().push_back(ColInfo{17, 17, 4000, 15, 0, 0});
         },
         true},
        {"nothing", nullptr, true},
        {"a formula", [&](ExcelBook& b) { b.Sheet(1)->Cell(40, 2)->SetFormula(formula); }, true},
    };
    ExcelBookChanges waiting;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.change) {
            step.change(book);
            EXPECT_NE(copy->Write(), book.Write()); // the copy is the book's as it was
        }
        waiting.Merge(book.TakeChanges());
        if (!step.handOver)
            continue;
        copy->Apply(std::exchange(waiting, {}));
        EXPECT_EQ(copy->Write(), book.Write());
    }
    ExcelBook back;
    ASSERT_TRUE(back.Read(copy->Write()));
    EXPECT_EQ(back.Sheet(2)->rows(), 301);
    EXPECT_EQ(back.Sheet(2)->Peek(300, 16)->integer(), 7);
}

// ---- cell formats ----

TEST(CellFormats, FontIndexesSkipFour) {
    auto book = ExcelBook::Blank({u"One"}); // four fonts
    CellFormatTable table(*book);
    FontSpec big;
    big.height = 240;
    EXPECT_EQ(table.FindOrAddFont(big), 5); // appended at position 4
    EXPECT_EQ(table.FindOrAddFont(big), 5); // found there
    FontSpec red = big;
    red.colour = 2;
    EXPECT_EQ(table.FindOrAddFont(red), 6);
    EXPECT_EQ(table.FindOrAddFont(FontSpec{}), 0); // the default font is the first one
    EXPECT_EQ(book->globals().fonts.size(), 6u);
}

TEST(CellFormats, XfRecordsAreReusedAndCellsTakeThem) {
    auto book = ExcelBook::Blank({u"One"});
    CellFormatTable table(*book);
    const std::size_t before = book->globals().xfs.size();
    XfSpec yellow;
    yellow.table = &table;
    yellow.alignment = 0x12;
    yellow.border1 = 0x1111;
    yellow.border2 = 0x04000000;
    yellow.fill = 5;
    XfSpec grey = yellow;
    grey.fill = 22;
    const int y = table.FindOrAddXF(yellow);
    const int g = table.FindOrAddXF(grey);
    EXPECT_NE(y, g);
    EXPECT_EQ(book->globals().xfs.size(), before + 2);
    EXPECT_EQ(table.FindOrAddXF(grey), g);
    EXPECT_EQ(table.FindOrAddXF(yellow), y);
    EXPECT_EQ(book->globals().xfs[y].typeAndProtection, 0x0078);

    // A second table over the same book finds them too; the cached index spares the search.
    CellFormatTable again(*book);
    XfSpec same = yellow;
    same.table = &again;
    ExcelCell* cell = book->Sheet(0)->Cell(0, 0);
    cell->SetFormat(same);
    EXPECT_EQ(cell->xf(), y);
    EXPECT_EQ(same.index, y);
    book->globals().xfs.clear(); // a search would now add a record; the cache does not search
    book->Sheet(0)->Cell(0, 1)->SetFormat(same);
    EXPECT_EQ(book->Sheet(0)->Cell(0, 1)->xf(), y);
    EXPECT_TRUE(book->globals().xfs.empty());
}

TEST(CellFormats, NumberFormatTable) {
    auto book = ExcelBook::Blank({u"One"});
    book->globals().formats.push_back(Format{200, {u"0.000", false}});
    book->globals().formats.push_back(Format{2, {u"0.0#", false}}); // replaces the built-in 2
    CellFormatTable table(*book);
    EXPECT_EQ(table.nextFormatIndex(), 201);
    EXPECT_EQ(table.formats().at(0), u"General");
    EXPECT_EQ(table.formats().at(49), u"@");
    EXPECT_EQ(table.formats().at(2), u"0.0#");
    EXPECT_EQ(table.FormatIndex(u"0.000"), std::optional<std::uint16_t>(200));
    EXPECT_EQ(table.FormatIndex(u"mm:ss"), std::optional<std::uint16_t>(45));
    EXPECT_EQ(CellFormatTable(*ExcelBook::Blank({u"x"})).nextFormatIndex(), 164);

    // Only the formats above the built-in ones are written.
    const Bytes stream = book->Write();
    int formats = 0;
    for (const auto& [at, r] : RecordsOf(stream))
        if (r.code == kFormat) {
            ++formats;
            EXPECT_EQ(U16(r.data, 0), 200);
        }
    EXPECT_EQ(formats, 1);
}

} // namespace
