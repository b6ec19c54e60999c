#include "records/ExcelBook.h"

#include "platform/CompoundFile.h"

#include <algorithm>
#include <cassert>
#include <map>

using namespace ExcelLog;

// ---- storage ----

bool ExcelStorage::Create(const std::string& path) {
    Close();
    if (!platform::WriteCompoundStream(path, kStreamName, {}))
        return false;
    m_path = path;
    return true;
}

bool ExcelStorage::Open(const std::string& path) {
    Close();
    if (!platform::CanOpenCompoundFile(path))
        return false;
    m_path = path;
    m_hasStream = true;
    return true;
}

void ExcelStorage::Close() {
    m_path.clear();
    m_hasStream = false;
}

int ExcelStorage::MakeFile() {
    if (!IsOpen())
        return -1;
    m_hasStream = true;
    return 1;
}

int ExcelStorage::ReadFile(Bytes& out) const {
    out.clear();
    if (!IsOpen())
        return -1;
    switch (platform::ReadCompoundStream(m_path, kStreamName, out)) {
    case platform::CompoundResult::Ok:
        return 1;
    case platform::CompoundResult::TooLarge:
        return -6;
    case platform::CompoundResult::Failed:
        break;
    }
    return -1;
}

int ExcelStorage::WriteFile(std::span<const std::uint8_t> data) {
    if (!IsOpen() || !m_hasStream)
        return -1;
    return platform::WriteCompoundStream(m_path, kStreamName, data) ? 1 : -1;
}

// ---- cells ----

const char* ExcelCell::GetString() const {
    if (m_kind == Text && !m_text.empty())
        return m_text.c_str();
    if (m_kind == Formula)
        return m_text.c_str();
    return nullptr;
}

bool ExcelCell::GetString(std::string& out) const {
    if (m_kind != Text)
        return false;
    out = m_text;
    return true;
}

void ExcelCell::SetString(std::string_view text) {
    Clear();
    if (text.empty())
        return;
    m_kind = Text;
    m_text = text;
}

void ExcelCell::SetWString(std::u16string_view text) {
    Clear();
    if (text.empty())
        return;
    m_kind = WideText;
    m_wide = text;
}

void ExcelCell::SetInteger(std::int32_t value) {
    Clear();
    m_kind = Integer;
    m_integer = value;
}

void ExcelCell::SetDouble(double value) {
    Clear();
    m_kind = Floating;
    m_floating = value;
}

void ExcelCell::SetFormula(std::shared_ptr<FormulaHolder> holder) {
    Clear();
    if (!holder)
        return;
    m_kind = Formula;
    if (holder->hasText)
        m_text = Utf16ToUtf8(holder->text.text);
    m_formula = std::move(holder);
}

void ExcelCell::Clear() {
    m_kind = Undefined;
    m_integer = 0;
    m_floating = 0;
    m_text.clear();
    m_wide.clear();
    m_formula.reset();
}

// ---- sheets ----

ExcelCell* ExcelSheet::Cell(int row, int column) {
    if (row < 0 || row > kMaxRow || column < 0 || column > kMaxColumn)
        return nullptr;
    Reach(row, column);
    m_changedRows.insert(m_changedRows.end(), row); // the last row is the one written most
    auto& cells = m_cells[row];
    auto found = cells.find(column);
    if (found == cells.end())
        found = cells.emplace(column, m_blank).first;
    return &found->second;
}

void ExcelSheet::ForgetChanges() {
    m_changedRows.clear();
    m_colInfosChanged = false;
}

void ExcelSheet::Reach(int row, int column) {
    m_rowCount = std::max(m_rowCount, row + 1);
    m_columns = std::max(m_columns, column + 1);
}

const ExcelCell* ExcelSheet::Peek(int row, int column) const {
    if (row < 0 || row >= rows() || column < 0 || column >= m_columns)
        return nullptr;
    const auto cells = m_cells.find(row);
    if (cells == m_cells.end())
        return &m_blank;
    const auto found = cells->second.find(column);
    return found == cells->second.end() ? &m_blank : &found->second;
}

// ---- the book ----

std::unique_ptr<ExcelBook> ExcelBook::Blank(const std::vector<std::u16string>& sheetNames) {
    auto book = std::make_unique<ExcelBook>();
    Workbook& g = book->m_globals;
    g.fonts.assign(4, Font{}); // readers expect four fonts before the first own one (index 4 does not exist)
    g.xfs.assign(15, XF{});    // the style formats
    XF cell;                   // the default cell format, on style 0
    cell.typeAndProtection = 0x0001;
    g.xfs.push_back(cell);
    g.styles.push_back(Style{});
    for (const auto& name : sheetNames) {
        BoundSheet s;
        s.name = BiffString{name.substr(0, 31), NeedsWide(name)};
        g.sheets.push_back(s);
        book->m_worksheets.emplace_back();
    }
    book->BuildSheets();
    book->ForgetChanges();
    return book;
}

std::uint16_t ExcelBook::DefaultCellXf() const {
    return m_globals.xfs.size() > 15 ? 15 : 0;
}

std::shared_ptr<ExcelSheet> ExcelBook::Sheet(int position) const {
    if (position < 0 || position >= SheetCount())
        return nullptr;
    return m_sheets[position];
}

int ExcelBook::Load(const std::string& path) {
    m_storage.Close();
    if (!m_storage.Open(path))
        return 0;
    Bytes stream;
    if (m_storage.ReadFile(stream) != 1)
        stream.clear();
    return Read(stream) ? 1 : 0;
}

bool ExcelBook::Read(std::span<const std::uint8_t> stream) {
    m_globals = Workbook{};
    m_worksheets.clear();
    m_sheets.clear();
    try {
        ByteReader in(stream);
        bool globals = false;
        while (in.peek16() == kBof) {
            const BOF bof = BOF::From(Record::Read(in));
            if (bof.type == BOF::kGlobals && !globals) {
                m_globals.bof = bof;
                m_globals.Read(in);
                globals = true;
            } else if (bof.type == BOF::kWorksheet && globals) {
                Worksheet sheet;
                sheet.bof = bof;
                sheet.Read(in);
                m_worksheets.push_back(std::move(sheet));
            } else {
                // A chart or macro sheet: skipped whole, blocks inside it included.
                for (int depth = 1; depth > 0;) {
                    const Record r = Record::Read(in);
                    depth += r.code == kBof ? 1 : r.code == kEof ? -1 : 0;
                }
            }
        }
        if (!globals)
            throw BiffError("no workbook globals");
        std::erase_if(m_globals.sheets, [](const BoundSheet& s) { return s.sheetType != 0; });
        if (m_globals.sheets.size() != m_worksheets.size())
            throw BiffError("sheet names and worksheets do not match");
        BuildSheets();
        ForgetChanges();
    } catch (const BiffError&) {
        m_globals = Workbook{};
        m_worksheets.clear();
        m_sheets.clear();
        return false;
    }
    return true;
}

void ExcelBook::BuildSheets() {
    m_sheets.clear();
    const std::uint16_t defaultXf = DefaultCellXf();
    for (std::size_t k = 0; k < m_worksheets.size(); ++k) {
        const Worksheet& ws = m_worksheets[k];
        auto sheet = std::make_shared<ExcelSheet>(static_cast<int>(k), defaultXf);
        sheet->m_colInfos = ws.colInfos;

        int lastRow = 0;
        int lastColumn = 0;
        // Formatted empty cells count: a template's bordered boxes keep their look when they are filled.
        for (const CellRecord& c : ws.cells) {
            lastRow = std::max<int>(lastRow, c.row);
            const int run = c.code == kMulRk      ? static_cast<int>(c.mulRk.size())
                            : c.code == kMulBlank ? static_cast<int>(c.mulBlank.size())
                                                  : 1;
            const int column = c.column + run - 1;
            lastColumn = std::max(lastColumn, column);
        }
        if (lastColumn > ExcelSheet::kMaxColumn)
            throw BiffError("cell beyond the last column");
        if (!ws.cells.empty())
            sheet->Reach(lastRow, lastColumn);

        const auto at = [&](int row, int column) -> ExcelCell* {
            return row < sheet->rows() && column < sheet->columns() ? sheet->Cell(row, column) : nullptr;
        };
        const auto setRk = [](ExcelCell& cell, std::uint32_t rk) {
            const RkValue v = DecodeRk(rk);
            if (v.isInteger)
                cell.SetInteger(v.integer);
            else
                cell.SetDouble(v.number);
        };
        for (const CellRecord& c : ws.cells) {
            if (c.code == kMulRk) {
                for (std::size_t i = 0; i < c.mulRk.size(); ++i)
                    if (ExcelCell* cell = at(c.row, c.column + static_cast<int>(i))) {
                        cell->SetXf(c.mulRk[i].first);
                        setRk(*cell, c.mulRk[i].second);
                    }
                continue;
            }
            if (c.code == kMulBlank) {
                for (std::size_t i = 0; i < c.mulBlank.size(); ++i)
                    if (ExcelCell* cell = at(c.row, c.column + static_cast<int>(i)))
                        cell->SetXf(c.mulBlank[i]);
                continue;
            }
            ExcelCell* cell = at(c.row, c.column);
            if (!cell)
                continue;
            cell->SetXf(c.xf);
            switch (c.code) {
            case kFormula:
                cell->SetFormula(c.formula);
                break;
            case kLabelSst: {
                if (c.sstIndex >= m_globals.sst.size())
                    throw BiffError("shared string index out of range");
                const BiffString& s = m_globals.sst[c.sstIndex];
                if (s.wide)
                    cell->SetWString(s.text);
                else
                    cell->SetString(Utf16ToUtf8(s.text));
                break;
            }
            case kNumber:
                cell->SetDouble(c.number);
                break;
            case kBoolErr:
                if (c.isError)
                    cell->Clear();
                else
                    cell->SetInteger(c.value);
                break;
            case kRk:
                setRk(*cell, c.rk);
                break;
            default:
                break;
            }
        }
        for (const MergedCell& m : ws.merged) {
            if (m.firstColumn > ExcelSheet::kMaxColumn)
                throw BiffError("merged range beyond the last column");
            sheet->Cell(m.firstRow, m.firstColumn)
                ->SetMerge(static_cast<std::uint16_t>(m.lastRow - m.firstRow + 1),
                           static_cast<std::uint16_t>(m.lastColumn - m.firstColumn + 1));
        }
        m_sheets.push_back(std::move(sheet));
    }
}

void ExcelBook::UpdateSheetRecords() {
    m_globals.sst.clear();
    m_globals.sstTotal = 0;
    std::map<BiffString, std::uint32_t, decltype([](const BiffString& a, const BiffString& b) {
                 return std::tie(a.wide, a.text) < std::tie(b.wide, b.text);
             })>
        lookUp;
    const auto sstIndex = [&](BiffString s) {
        ++m_globals.sstTotal;
        const auto [it, added] = lookUp.try_emplace(s, static_cast<std::uint32_t>(m_globals.sst.size()));
        if (added)
            m_globals.sst.push_back(std::move(s));
        return it->second;
    };

    m_worksheets.assign(m_sheets.size(), Worksheet{});
    for (std::size_t k = 0; k < m_sheets.size(); ++k) {
        const ExcelSheet& sheet = *m_sheets[k];
        Worksheet& ws = m_worksheets[k];
        ws.colInfos = sheet.m_colInfos;
        ws.columns = static_cast<std::uint16_t>(std::max(1, sheet.columns()));
        if (k > 0)
            ws.window2.options &= static_cast<std::uint16_t>(~Window2::kSelected);
        ws.rowCells.resize(std::max(1, sheet.rows()));
        for (const auto& [r, cells] : sheet.m_cells) {
            auto& out = ws.rowCells[r];
            const auto row = static_cast<std::uint16_t>(r);
            const auto rkOf = [](const ExcelCell& x) -> std::optional<std::uint32_t> {
                if (x.kind() == ExcelCell::Integer)
                    return EncodeIntegerRk(x.integer());
                if (x.kind() == ExcelCell::Floating)
                    return EncodeFloatRk(x.floating());
                return std::nullopt;
            };
            for (auto it = cells.begin(); it != cells.end();) {
                const ExcelCell& cell = it->second;
                const auto column = static_cast<std::uint16_t>(it->first);
                switch (cell.kind()) {
                case ExcelCell::Integer:
                case ExcelCell::Floating: {
                    const auto rk = rkOf(cell);
                    if (!rk) {
                        const double value =
                            cell.kind() == ExcelCell::Integer ? cell.integer() : cell.floating();
                        out.push_back(NumberRecord(row, column, cell.xf(), value));
                        ++it;
                        break;
                    }
                    // A run of side-by-side cells of the same kind that all have an RK form.
                    std::vector<std::pair<std::uint16_t, std::uint32_t>> run{{cell.xf(), *rk}};
                    auto next = std::next(it);
                    for (; next != cells.end() && next->first == it->first + static_cast<int>(run.size());
                         ++next) {
                        const auto nextRk =
                            next->second.kind() == cell.kind() ? rkOf(next->second) : std::nullopt;
                        if (!nextRk)
                            break;
                        run.emplace_back(next->second.xf(), *nextRk);
                    }
                    if (run.size() == 1)
                        out.push_back(RkRecord(row, column, cell.xf(), *rk));
                    else
                        out.push_back(MulRkRecord(row, column, run));
                    it = next;
                    break;
                }
                case ExcelCell::Text: {
                    std::u16string text = Utf8ToUtf16(cell.GetString());
                    const bool wide = NeedsWide(text);
                    out.push_back(LabelSstRecord(row, column, cell.xf(), sstIndex({std::move(text), wide})));
                    ++it;
                    break;
                }
                case ExcelCell::WideText:
                    out.push_back(LabelSstRecord(row, column, cell.xf(), sstIndex({cell.wideText(), true})));
                    ++it;
                    break;
                case ExcelCell::Formula:
                    for (Record& rec : FormulaRecords(row, column, cell.xf(), *cell.formula()))
                        out.push_back(std::move(rec));
                    ++it;
                    break;
                default:
                    out.push_back(BlankRecord(row, column, cell.xf()));
                    ++it;
                    break;
                }
            }
            for (const auto& [c, cell] : cells) {
                if (cell.mergeHeight() <= 1 && cell.mergeWidth() <= 1)
                    continue;
                const int lastRow =
                    std::min(r + std::max<int>(1, cell.mergeHeight()) - 1, ExcelSheet::kMaxRow);
                const int lastColumn =
                    std::min(c + std::max<int>(1, cell.mergeWidth()) - 1, ExcelSheet::kMaxColumn);
                ws.merged.push_back(MergedCell{row, static_cast<std::uint16_t>(lastRow),
                                               static_cast<std::uint16_t>(c),
                                               static_cast<std::uint16_t>(lastColumn)});
            }
        }
    }
}

Bytes ExcelBook::Write() {
    UpdateSheetRecords();
    assert(m_globals.sheets.size() == m_worksheets.size());
    Bytes globals;
    m_globals.Write(globals); // its size does not depend on the sheet positions
    std::size_t position = globals.size();
    Bytes sheets;
    for (std::size_t k = 0; k < m_worksheets.size(); ++k) {
        m_globals.sheets[k].position = static_cast<std::uint32_t>(position);
        const std::size_t before = sheets.size();
        m_worksheets[k].Write(sheets, position);
        position += sheets.size() - before;
    }
    Bytes stream;
    m_globals.Write(stream);
    stream.insert(stream.end(), sheets.begin(), sheets.end());
    return stream;
}

std::unique_ptr<ExcelBook> ExcelBook::Copy() const {
    auto copy = std::make_unique<ExcelBook>();
    copy->m_globals = m_globals;
    for (const auto& sheet : m_sheets) {
        copy->m_sheets.push_back(std::make_shared<ExcelSheet>(*sheet));
        copy->m_sheets.back()->ForgetChanges();
    }
    return copy;
}

void ExcelBook::ForgetChanges() {
    for (const auto& sheet : m_sheets)
        sheet->ForgetChanges();
    m_globalsChanged = false;
}

ExcelBookChanges ExcelBook::TakeChanges() {
    ExcelBookChanges changes;
    changes.sheets.reserve(m_sheets.size());
    for (const auto& sheet : m_sheets) {
        ExcelBookChanges::Sheet& out = changes.sheets.emplace_back();
        out.rowCount = sheet->m_rowCount;
        out.columns = sheet->m_columns;
        for (const int row : sheet->m_changedRows)
            out.rows.emplace_hint(out.rows.end(), row, sheet->m_cells.at(row));
        if (sheet->m_colInfosChanged)
            out.colInfos = sheet->m_colInfos;
    }
    if (m_globalsChanged) {
        // The shared strings are left out: a write makes them again from the cells.
        std::vector<BiffString> strings = std::move(m_globals.sst);
        changes.globals = m_globals;
        m_globals.sst = std::move(strings);
    }
    ForgetChanges();
    return changes;
}

void ExcelBook::Apply(ExcelBookChanges changes) {
    assert(changes.sheets.empty() || changes.sheets.size() == m_sheets.size());
    const std::size_t sheets = std::min(changes.sheets.size(), m_sheets.size());
    for (std::size_t k = 0; k < sheets; ++k) {
        ExcelBookChanges::Sheet& in = changes.sheets[k];
        ExcelSheet& sheet = *m_sheets[k];
        sheet.m_rowCount = in.rowCount;
        sheet.m_columns = in.columns;
        for (auto& [row, cells] : in.rows)
            sheet.m_cells.insert_or_assign(row, std::move(cells));
        if (in.colInfos)
            sheet.m_colInfos = std::move(*in.colInfos);
    }
    if (changes.globals)
        m_globals = std::move(*changes.globals);
}

void ExcelBookChanges::Merge(ExcelBookChanges&& later) {
    if (sheets.empty()) {
        sheets = std::move(later.sheets);
    } else {
        assert(later.sheets.empty() || later.sheets.size() == sheets.size());
        for (std::size_t k = 0; k < std::min(sheets.size(), later.sheets.size()); ++k) {
            Sheet& to = sheets[k];
            Sheet& from = later.sheets[k];
            to.rowCount = from.rowCount;
            to.columns = from.columns;
            for (auto& [row, cells] : from.rows)
                to.rows.insert_or_assign(row, std::move(cells));
            if (from.colInfos)
                to.colInfos = std::move(from.colInfos);
        }
    }
    if (later.globals)
        globals = std::move(later.globals);
}

bool ExcelBook::Save() {
    if (!m_storage.IsOpen())
        return false;
    const Bytes stream = Write();
    return m_storage.WriteFile(stream) == 1;
}
