// The record blocks of a BIFF8 workbook stream: the workbook globals (window, fonts, formats, cell formats,
// styles, sheet names, shared strings) and the worksheets (column widths, cells, merged ranges). Records
// this program does not use are dropped on reading. Plain C++; malformed input raises BiffError.
#pragma once

#include "records/BiffRecord.h"

#include <array>
#include <memory>

namespace ExcelLog {

struct BOF {
    enum : std::uint16_t { kGlobals = 0x0005, kWorksheet = 0x0010 };
    std::uint16_t version = 0x0600;
    std::uint16_t type = kGlobals;
    std::uint16_t build = 0x19A0;
    std::uint16_t year = 0x07CD;
    std::uint32_t history = 0xC0C9;
    std::uint32_t lowestVersion = 0x0306;

    static BOF From(const Record& r);
    Record ToRecord() const;
};

struct Window1 {
    // x, y, width, height, options, active sheet, first visible tab, selected sheets, tab-bar width
    std::array<std::uint16_t, 9> fields{120, 120, 15135, 9300, 0x38, 0, 0, 1, 600};

    static Window1 From(const Record& r);
    Record ToRecord() const;
};

struct Font {
    std::uint16_t height = 200; // twentieths of a point
    std::uint16_t options = 0;
    std::uint16_t colour = 0x7FFF;
    std::uint16_t weight = 400;
    std::uint16_t escapement = 0;
    std::uint8_t underline = 0;
    std::uint8_t family = 0;
    std::uint8_t charset = 0;
    std::uint8_t reserved = 0;
    BiffString name{u"Arial", true};

    static Font From(const Record& r);
    Record ToRecord() const;
};

struct Format {
    std::uint16_t index = 0;
    BiffString text{u"General", false};

    static Format From(const Record& r);
    Record ToRecord() const;
};

struct XF {
    std::uint16_t font = 0;
    std::uint16_t format = 0;
    std::uint16_t typeAndProtection = 0xFFF5;
    std::uint8_t alignment = 0x20;
    std::uint8_t rotation = 0;
    std::uint8_t indent = 0;
    std::uint8_t usedAttributes = 0;
    std::uint32_t border1 = 0;
    std::uint32_t border2 = 0;
    std::uint16_t fill = 0x20C0;

    static XF From(const Record& r);
    Record ToRecord() const;
};

// Kept as read: only its bytes travel back to the file.
struct Style {
    Bytes data{0x00, 0x80, 0x00, 0xFF}; // built-in "Normal" on cell format 0

    Record ToRecord() const { return Record{kStyle, data, {}}; }
};

struct BoundSheet {
    std::uint32_t position = 0; // stream offset of the sheet's BOF
    std::uint8_t visibility = 0;
    std::uint8_t sheetType = 0; // 0 worksheet
    BiffString name{u"Sheet1", false};

    static BoundSheet From(const Record& r);
    Record ToRecord() const;
};

struct Workbook {
    BOF bof;
    Window1 window1;
    std::vector<Font> fonts;
    std::vector<XF> xfs;
    std::vector<Style> styles;
    std::vector<Format> formats;
    std::vector<BoundSheet> sheets;
    std::uint32_t sstTotal = 0;
    std::vector<BiffString> sst;

    // Reads the block's records after its BOF (already read into `bof`) up to and including its EOF.
    void Read(ByteReader& in);
    // BOF, WINDOW1, fonts, the formats above the built-in ones, cell formats, styles, sheets, SST, EOF.
    void Write(Bytes& out) const;
};

struct ColInfo {
    std::uint16_t firstColumn = 0;
    std::uint16_t lastColumn = 255;
    std::uint16_t width = 2560; // 1/256 of a character
    std::uint16_t xf = 0;
    std::uint16_t options = 0;
    std::uint16_t reserved = 0;

    static ColInfo From(const Record& r);
    Record ToRecord() const;
};

struct Window2 {
    enum : std::uint16_t { kSelected = 0x0200 };
    std::uint16_t options = 0x06B6;
    std::uint16_t firstRow = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t gridColour = 64;
    std::uint16_t reserved = 0;
    std::uint16_t pageBreakZoom = 0;
    std::uint16_t normalZoom = 0;
    std::uint32_t reserved2 = 0;

    static Window2 From(const Record& r);
    Record ToRecord() const;
};

struct MergedCell {
    std::uint16_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    bool operator==(const MergedCell&) const = default;
};

// A FORMULA with what follows it: a shared-formula, array or table record, and the text result.
struct FormulaHolder {
    std::array<std::uint8_t, 8> result{};
    std::uint16_t options = 0;
    Bytes tokens;
    std::uint16_t followCode = 0; // 0: nothing follows
    Bytes followData;
    bool hasText = false;
    BiffString text;
};

// One cell record as read. Which fields hold depends on `code`.
struct CellRecord {
    std::uint16_t code = 0;
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    std::uint16_t xf = 0;
    std::uint32_t rk = 0;
    double number = 0;
    std::uint32_t sstIndex = 0;
    std::uint8_t value = 0;                                     // BOOLERR
    std::uint8_t isError = 0;                                   // BOOLERR
    std::vector<std::pair<std::uint16_t, std::uint32_t>> mulRk; // (XF, RK) from `column` on
    std::vector<std::uint16_t> mulBlank;                        // XF from `column` on
    std::shared_ptr<FormulaHolder> formula;
};

struct Worksheet {
    BOF bof{.type = BOF::kWorksheet};
    std::vector<ColInfo> colInfos;
    Window2 window2;
    std::vector<MergedCell> merged;
    // As read: every cell record in file order.
    std::vector<CellRecord> cells;
    // To write: the cell records of each row (row index = position), and the column count.
    std::vector<std::vector<Record>> rowCells;
    std::uint16_t columns = 1;

    // Reads the block's records after its BOF up to its EOF; an EOF where a DBCELL was due ends it too.
    void Read(ByteReader& in);
    // Writes the block whose BOF lands at stream offset `start` (INDEX and DBCELL carry stream offsets).
    void Write(Bytes& out, std::size_t start) const;
};

// Records of cells, for the writers of worksheets.
Record BlankRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf);
Record RkRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, std::uint32_t rk);
Record MulRkRecord(std::uint16_t row, std::uint16_t firstColumn,
                   const std::vector<std::pair<std::uint16_t, std::uint32_t>>& values);
Record NumberRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, double value);
Record LabelSstRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, std::uint32_t index);
// FORMULA, then its following record and its STRING when the holder has them.
std::vector<Record> FormulaRecords(std::uint16_t row, std::uint16_t column, std::uint16_t xf,
                                   const FormulaHolder& holder);

// Merged ranges in records of at most 1027 ranges; none without ranges.
std::vector<Record> MergedCellsRecords(const std::vector<MergedCell>& ranges);

} // namespace ExcelLog
