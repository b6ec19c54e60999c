// The in-memory workbook of the match log: loaded from a spreadsheet file, its worksheets turned into sparse
// sheets of cells read and written by row and column, and the whole workbook written back on each save (all
// cell records rebuilt from the sheets; the workbook's fonts, formats and sheet names kept with additions).
// A book keeps note of what changed in it, so a copy of it elsewhere can be brought up to date with the
// changes alone (TakeChanges, Apply).
// A book is used by one thread at a time; no call shows a message, results say what happened.
#pragma once

#include "records/BiffWorkbook.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct XfSpec;

// The compound file behind a book and its "Workbook" stream. Results of the stream operations: 1 success,
// -1 failure, -6 a stream of 4 GiB or more.
class ExcelStorage {
public:
    static constexpr std::string_view kStreamName = "Workbook";

    // Creates (or replaces) the compound file at the absolute path, with an empty stream.
    bool Create(const std::string& path);
    // Opens an existing compound file.
    bool Open(const std::string& path);
    // Forgets the file; nothing when none is open.
    void Close();
    bool IsOpen() const { return !m_path.empty(); }
    int MakeFile();
    int ReadFile(ExcelLog::Bytes& out) const;
    // Replaces the stream with `data` (the file is rewritten atomically).
    int WriteFile(std::span<const std::uint8_t> data);

private:
    std::string m_path;
    bool m_hasStream = false;
};

class ExcelCell {
public:
    enum Kind : int { Undefined = 0, Integer = 1, Floating = 2, Text = 3, WideText = 4, Formula = 5 };

    int kind() const { return m_kind; }
    std::int32_t integer() const { return m_integer; }
    double floating() const { return m_floating; }
    const std::u16string& wideText() const { return m_wide; }
    // The 8-bit (UTF-8) text of a text cell, or a formula's cached text; null otherwise.
    const char* GetString() const;
    // Copies the 8-bit text and gives true; false for another kind.
    bool GetString(std::string& out) const;

    // UTF-8 text; an empty text makes the cell undefined.
    void SetString(std::string_view text);
    void SetWString(std::u16string_view text);
    void SetInteger(std::int32_t value);
    void SetDouble(double value);
    void SetFormula(std::shared_ptr<ExcelLog::FormulaHolder> holder);
    void Clear();

    // Merged area anchored at this cell: height in rows, width in columns (1 or 0: not merged).
    void SetMerge(std::uint16_t height, std::uint16_t width) {
        m_mergeHeight = height;
        m_mergeWidth = width;
    }
    std::uint16_t mergeHeight() const { return m_mergeHeight; }
    std::uint16_t mergeWidth() const { return m_mergeWidth; }

    std::uint16_t xf() const { return m_xf; }
    void SetXf(std::uint16_t xf) { m_xf = xf; }
    // Looks the requested cell format up once (or adds it) and uses it for this cell.
    void SetFormat(XfSpec& spec);

    const ExcelLog::FormulaHolder* formula() const { return m_formula.get(); }

private:
    int m_kind = Undefined;
    std::int32_t m_integer = 0;
    double m_floating = 0;
    std::string m_text;
    std::u16string m_wide;
    std::uint16_t m_mergeHeight = 0;
    std::uint16_t m_mergeWidth = 0;
    std::uint16_t m_xf = 0;
    std::shared_ptr<ExcelLog::FormulaHolder> m_formula; // shared between copies of the cell
};

class ExcelBook;

class ExcelSheet {
public:
    static constexpr int kMaxColumn = 255;
    static constexpr int kMaxRow = 65535;

    ExcelSheet(int position, std::uint16_t defaultXf) : m_position(position), m_defaultXf(defaultXf) {
        m_blank.SetXf(defaultXf);
    }

    int position() const { return m_position; }
    // The extent of the sheet: one past the last row and column that hold a cell or that the loaded sheet
    // spans.
    int rows() const { return m_rowCount; }
    int columns() const { return m_columns; }
    // The cell at (row, column), counted from 0, made when it is not there; null outside 0..65535 x
    // 0..255. Only the cells made or loaded are kept, so a far cell costs no more than a near one.
    ExcelCell* Cell(int row, int column);
    // The cell inside the extent (a blank one of the sheet's format where none was made), else null; never
    // makes a cell.
    const ExcelCell* Peek(int row, int column) const;

    std::vector<ExcelLog::ColInfo>& colInfos() {
        m_colInfosChanged = true;
        return m_colInfos;
    }
    const std::vector<ExcelLog::ColInfo>& colInfos() const { return m_colInfos; }

private:
    friend class ExcelBook;
    using Row = std::map<int, ExcelCell>; // by column
    // Widens the extent to reach (row, column) without making a cell.
    void Reach(int row, int column);
    void ForgetChanges();

    int m_position;
    std::uint16_t m_defaultXf;
    int m_rowCount = 0;
    int m_columns = 0;
    std::map<int, Row> m_cells; // by row
    ExcelCell m_blank;
    std::vector<ExcelLog::ColInfo> m_colInfos;
    // Since the changes were last taken: the rows whose cells were handed out for writing, and whether the
    // column widths were.
    std::set<int> m_changedRows;
    bool m_colInfosChanged = false;
};

// What changed in a book since its changes were last taken: each sheet's extent, the rows whose cells were
// handed out for writing (each whole, as it was when taken), the column widths and the workbook records
// (fonts, cell formats, ...) when they were handed out for writing. A copy of the book brought up to date
// with them writes the same stream as the book.
struct ExcelBookChanges {
    struct Sheet {
        int rowCount = 0;
        int columns = 0;
        std::map<int, std::map<int, ExcelCell>> rows;
        std::optional<std::vector<ExcelLog::ColInfo>> colInfos;
    };
    std::vector<Sheet> sheets;                 // by position; empty: none taken
    std::optional<ExcelLog::Workbook> globals; // without the shared strings, which a write makes again

    // Takes the changes taken after these in: theirs win.
    void Merge(ExcelBookChanges&& later);
};

class ExcelBook {
public:
    // A book with the workbook records every reader needs (fonts, cell formats, the "Normal" style) and
    // one empty worksheet per name; for making templates.
    static std::unique_ptr<ExcelBook> Blank(const std::vector<std::u16string>& sheetNames);

    // Loads the spreadsheet file at the absolute path. 1 on success; 0 when it cannot be opened or is not
    // a well-formed workbook (the book is then left without sheets).
    int Load(const std::string& path);
    // Writes the whole book to its storage; false without an open storage or when the write fails.
    bool Save();
    // Parses a workbook stream; false (and no sheets) when it is malformed.
    bool Read(std::span<const std::uint8_t> stream);
    // The workbook stream of the book as it is now: every worksheet rebuilt from its grid.
    ExcelLog::Bytes Write();

    // A copy of the cells, sheets and workbook records (not of the storage): the changes taken from this
    // book from now on bring it up to date.
    std::unique_ptr<ExcelBook> Copy() const;
    // The changes since they were last taken (since the book was read or made, the first time). A cell,
    // sheet or record handed out for writing counts as changed when it is handed out, so whoever keeps a
    // pointer writes through it before the changes are taken.
    ExcelBookChanges TakeChanges();
    // Brings a copy (see Copy) up to date with changes taken from its book.
    void Apply(ExcelBookChanges changes);

    ExcelStorage& storage() { return m_storage; }
    ExcelLog::Workbook& globals() {
        m_globalsChanged = true;
        return m_globals;
    }
    const ExcelLog::Workbook& globals() const { return m_globals; }
    int SheetCount() const { return static_cast<int>(m_sheets.size()); }
    std::shared_ptr<ExcelSheet> Sheet(int position) const;

private:
    void UpdateSheetRecords();
    void BuildSheets();
    std::uint16_t DefaultCellXf() const;
    void ForgetChanges();

    ExcelStorage m_storage;
    ExcelLog::Workbook m_globals;
    std::vector<ExcelLog::Worksheet> m_worksheets;
    std::vector<std::shared_ptr<ExcelSheet>> m_sheets;
    bool m_globalsChanged = false; // since the changes were last taken
};
