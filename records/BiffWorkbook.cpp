#include "records/BiffWorkbook.h"

#include <algorithm>

namespace ExcelLog {
namespace {

Record Make(std::uint16_t code, Bytes data) {
    return Record{code, std::move(data), {}};
}

bool IsCellCode(std::uint16_t code) {
    switch (code) {
    case kFormula:
    case kMulRk:
    case kMulBlank:
    case kLabelSst:
    case kBlank:
    case kNumber:
    case kBoolErr:
    case kRk:
        return true;
    default:
        return false;
    }
}

CellRecord ReadCell(const Record& r, ByteReader& stream) {
    ByteReader in(r.data);
    CellRecord c;
    c.code = r.code;
    c.row = in.u16();
    c.column = in.u16();
    switch (r.code) {
    case kMulRk: {
        // (XF, RK) pairs, then the last column
        if (r.data.size() < 6 || (r.data.size() - 6) % 6 != 0)
            throw BiffError("MULRK of a wrong length");
        const std::size_t count = (r.data.size() - 6) / 6;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t xf = in.u16();
            c.mulRk.emplace_back(xf, in.u32());
        }
        if (in.u16() != c.column + count - 1)
            throw BiffError("MULRK columns do not match its values");
        return c;
    }
    case kMulBlank: {
        if (r.data.size() < 6 || (r.data.size() - 6) % 2 != 0)
            throw BiffError("MULBLANK of a wrong length");
        const std::size_t count = (r.data.size() - 6) / 2;
        for (std::size_t i = 0; i < count; ++i)
            c.mulBlank.push_back(in.u16());
        if (in.u16() != c.column + count - 1)
            throw BiffError("MULBLANK columns do not match its formats");
        return c;
    }
    default:
        break;
    }
    c.xf = in.u16();
    switch (r.code) {
    case kRk:
        c.rk = in.u32();
        break;
    case kNumber:
        c.number = in.f64();
        break;
    case kLabelSst:
        c.sstIndex = in.u32();
        break;
    case kBoolErr:
        c.value = in.u8();
        c.isError = in.u8();
        break;
    case kFormula: {
        auto holder = std::make_shared<FormulaHolder>();
        const auto result = in.take(8);
        std::copy(result.begin(), result.end(), holder->result.begin());
        holder->options = in.u16();
        in.skip(4);
        const auto tokens = in.take(in.left());
        holder->tokens.assign(tokens.begin(), tokens.end());
        const auto next = stream.peek16();
        if (next == kTable || next == kShrFmla || next == kArray || next == kShrFmla1) {
            Record follow = Record::Read(stream);
            holder->followCode = follow.code;
            holder->followData = std::move(follow.data);
        }
        if (stream.peek16() == kString) {
            Record text = Record::Read(stream);
            ByteReader textIn(text.data);
            holder->text = ReadLongString(textIn);
            holder->hasText = true;
        }
        c.formula = std::move(holder);
        break;
    }
    default: // BLANK: the format only
        break;
    }
    return c;
}

} // namespace

BOF BOF::From(const Record& r) {
    ByteReader in(r.data);
    BOF b;
    b.version = in.u16();
    b.type = in.u16();
    // Older writers end the record after the type.
    if (in.left() >= 12) {
        b.build = in.u16();
        b.year = in.u16();
        b.history = in.u32();
        b.lowestVersion = in.u32();
    }
    return b;
}

Record BOF::ToRecord() const {
    Bytes d;
    Put16(d, version);
    Put16(d, type);
    Put16(d, build);
    Put16(d, year);
    Put32(d, history);
    Put32(d, lowestVersion);
    return Make(kBof, std::move(d));
}

Window1 Window1::From(const Record& r) {
    ByteReader in(r.data);
    Window1 w;
    for (auto& f : w.fields)
        f = in.u16();
    return w;
}

Record Window1::ToRecord() const {
    Bytes d;
    for (const auto f : fields)
        Put16(d, f);
    return Make(kWindow1, std::move(d));
}

Font Font::From(const Record& r) {
    ByteReader in(r.data);
    Font f;
    f.height = in.u16();
    f.options = in.u16();
    f.colour = in.u16();
    f.weight = in.u16();
    f.escapement = in.u16();
    f.underline = in.u8();
    f.family = in.u8();
    f.charset = in.u8();
    f.reserved = in.u8();
    f.name = ReadShortString(in);
    return f;
}

Record Font::ToRecord() const {
    Bytes d;
    Put16(d, height);
    Put16(d, options);
    Put16(d, colour);
    Put16(d, weight);
    Put16(d, escapement);
    d.insert(d.end(), {underline, family, charset, reserved});
    WriteShortString(d, name);
    return Make(kFont, std::move(d));
}

Format Format::From(const Record& r) {
    ByteReader in(r.data);
    Format f;
    f.index = in.u16();
    f.text = ReadLongString(in);
    return f;
}

Record Format::ToRecord() const {
    Bytes d;
    Put16(d, index);
    WriteLongString(d, text);
    return Make(kFormat, std::move(d));
}

XF XF::From(const Record& r) {
    ByteReader in(r.data);
    XF x;
    x.font = in.u16();
    x.format = in.u16();
    x.typeAndProtection = in.u16();
    x.alignment = in.u8();
    x.rotation = in.u8();
    x.indent = in.u8();
    x.usedAttributes = in.u8();
    x.border1 = in.u32();
    x.border2 = in.u32();
    x.fill = in.u16();
    return x;
}

Record XF::ToRecord() const {
    Bytes d;
    Put16(d, font);
    Put16(d, format);
    Put16(d, typeAndProtection);
    d.insert(d.end(), {alignment, rotation, indent, usedAttributes});
    Put32(d, border1);
    Put32(d, border2);
    Put16(d, fill);
    return Make(kXf, std::move(d));
}

BoundSheet BoundSheet::From(const Record& r) {
    ByteReader in(r.data);
    BoundSheet s;
    s.position = in.u32();
    s.visibility = in.u8();
    s.sheetType = in.u8();
    s.name = ReadShortString(in);
    return s;
}

Record BoundSheet::ToRecord() const {
    Bytes d;
    Put32(d, position);
    d.push_back(visibility);
    d.push_back(sheetType);
    WriteShortString(d, name);
    return Make(kBoundSheet, std::move(d));
}

void Workbook::Read(ByteReader& in) {
    for (;;) {
        const Record r = Record::Read(in);
        switch (r.code) {
        case kEof:
            return;
        case kFont:
            fonts.push_back(Font::From(r));
            break;
        case kXf:
            xfs.push_back(XF::From(r));
            break;
        case kStyle:
            styles.push_back(Style{r.data});
            break;
        case kFormat:
            formats.push_back(Format::From(r));
            break;
        case kBoundSheet:
            sheets.push_back(BoundSheet::From(r));
            break;
        case kWindow1:
            window1 = Window1::From(r);
            break;
        case kSst: {
            ByteReader counts(r.data);
            sstTotal = counts.u32();
            sst = ReadSstStrings(r);
            break;
        }
        case kBof:
            throw BiffError("a block starts inside the workbook globals");
        default:
            break; // not kept
        }
    }
}

void Workbook::Write(Bytes& out) const {
    bof.ToRecord().Write(out);
    window1.ToRecord().Write(out);
    for (const Font& f : fonts)
        f.ToRecord().Write(out);
    for (const Format& f : formats)
        if (f.index > 163) // the built-in formats are known to every reader
            f.ToRecord().Write(out);
    for (const XF& x : xfs)
        x.ToRecord().Write(out);
    for (const Style& s : styles)
        s.ToRecord().Write(out);
    for (const BoundSheet& s : sheets)
        s.ToRecord().Write(out);
    const SstLayout layout = LayOutSst(sstTotal, sst);
    Record{kSst, layout.data, layout.continueOffsets}.Write(out);
    Make(kEof, {}).Write(out);
}

ColInfo ColInfo::From(const Record& r) {
    ByteReader in(r.data);
    ColInfo c;
    c.firstColumn = in.u16();
    c.lastColumn = in.u16();
    c.width = in.u16();
    c.xf = in.u16();
    c.options = in.u16();
    if (in.left() >= 2)
        c.reserved = in.u16();
    return c;
}

Record ColInfo::ToRecord() const {
    Bytes d;
    for (const auto v : {firstColumn, lastColumn, width, xf, options, reserved})
        Put16(d, v);
    return Make(kColInfo, std::move(d));
}

Window2 Window2::From(const Record& r) {
    ByteReader in(r.data);
    Window2 w;
    w.options = in.u16();
    w.firstRow = in.u16();
    w.firstColumn = in.u16();
    w.gridColour = in.u16();
    if (in.left() >= 10) {
        w.reserved = in.u16();
        w.pageBreakZoom = in.u16();
        w.normalZoom = in.u16();
        w.reserved2 = in.u32();
    }
    return w;
}

Record Window2::ToRecord() const {
    Bytes d;
    for (const auto v : {options, firstRow, firstColumn, gridColour, reserved, pageBreakZoom, normalZoom})
        Put16(d, v);
    Put32(d, reserved2);
    return Make(kWindow2, std::move(d));
}

void Worksheet::Read(ByteReader& in) {
    for (;;) {
        const Record r = Record::Read(in);
        if (IsCellCode(r.code)) {
            cells.push_back(ReadCell(r, in));
            continue;
        }
        switch (r.code) {
        case kEof:
            return;
        case kColInfo:
            colInfos.push_back(ColInfo::From(r));
            break;
        case kWindow2:
            window2 = Window2::From(r);
            break;
        case kMergedCells: {
            ByteReader ranges(r.data);
            const std::uint16_t count = ranges.u16();
            for (std::uint16_t i = 0; i < count; ++i) {
                MergedCell m;
                m.firstRow = ranges.u16();
                m.lastRow = ranges.u16();
                m.firstColumn = ranges.u16();
                m.lastColumn = ranges.u16();
                if (m.lastRow < m.firstRow || m.lastColumn < m.firstColumn || m.lastColumn > 255)
                    throw BiffError("merged range out of order");
                merged.push_back(m);
            }
            break;
        }
        case kBof:
            throw BiffError("a block starts inside a worksheet");
        default:
            break; // ROW, DBCELL, INDEX and DIMENSIONS are rebuilt on writing; the rest is not kept
        }
    }
}

void Worksheet::Write(Bytes& out, std::size_t start) const {
    const std::size_t rows = rowCells.size();
    const std::size_t blocks = (rows + 31) / 32;

    // Row blocks first, without their stream offsets, to know the sizes.
    struct Block {
        Bytes bytes; // ROW records and cells
        Record dbCell{kDbCell, {}, {}};
    };
    std::vector<Block> built(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        Block& block = built[b];
        const std::size_t first = b * 32;
        const std::size_t last = std::min(rows, first + 32);
        for (std::size_t r = first; r < last; ++r) {
            Bytes d;
            Put16(d, static_cast<std::uint16_t>(r));
            Put16(d, 0);
            Put16(d, columns);
            Put16(d, 255); // height
            Put16(d, 0);
            Put16(d, 0);
            Put32(d, 0x0100);
            Make(kRow, std::move(d)).Write(block.bytes);
        }
        const std::size_t rowRecords = block.bytes.size();
        Put32(block.dbCell.data, 0); // filled below
        std::size_t previousRowCells = 0;
        for (std::size_t r = first; r < last; ++r) {
            const std::size_t cellsStart = block.bytes.size();
            // Offset of this row's first cell: from the second ROW record for the first row, else from the
            // previous row's first cell.
            Put16(block.dbCell.data,
                  static_cast<std::uint16_t>(r == first ? rowRecords - 20 : previousRowCells));
            for (const Record& cell : rowCells[r])
                cell.Write(block.bytes);
            previousRowCells = block.bytes.size() - cellsStart;
        }
        Set32(block.dbCell.data, 0, static_cast<std::uint32_t>(block.bytes.size()));
    }

    const Record bofRecord = bof.ToRecord();
    const std::size_t indexSize = 4 + 16 + 4 * blocks;
    std::size_t pos = start + bofRecord.RecordSize() + indexSize + 18; // BOF, INDEX, DIMENSIONS
    std::vector<Record> colRecords;
    for (const ColInfo& c : colInfos) {
        colRecords.push_back(c.ToRecord());
        pos += colRecords.back().RecordSize();
    }
    Bytes index;
    Put32(index, 0);
    Put32(index, 0);
    Put32(index, static_cast<std::uint32_t>(rows));
    Put32(index, 0);
    for (const Block& block : built) {
        pos += block.bytes.size();
        Put32(index, static_cast<std::uint32_t>(pos)); // the block's DBCELL
        pos += block.dbCell.RecordSize();
    }

    bofRecord.Write(out);
    Make(kIndex, std::move(index)).Write(out);
    for (const Record& c : colRecords)
        c.Write(out);
    Bytes dims;
    Put32(dims, 0);
    Put32(dims, static_cast<std::uint32_t>(rows));
    Put16(dims, 0);
    Put16(dims, columns);
    Put16(dims, 0);
    Make(kDimensions, std::move(dims)).Write(out);
    for (const Block& block : built) {
        out.insert(out.end(), block.bytes.begin(), block.bytes.end());
        block.dbCell.Write(out);
    }
    window2.ToRecord().Write(out);
    for (const Record& m : MergedCellsRecords(merged))
        m.Write(out);
    Make(kEof, {}).Write(out);
}

Record BlankRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf) {
    Bytes d;
    Put16(d, row);
    Put16(d, column);
    Put16(d, xf);
    return Make(kBlank, std::move(d));
}

Record RkRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, std::uint32_t rk) {
    Bytes d;
    Put16(d, row);
    Put16(d, column);
    Put16(d, xf);
    Put32(d, rk);
    return Make(kRk, std::move(d));
}

Record MulRkRecord(std::uint16_t row, std::uint16_t firstColumn,
                   const std::vector<std::pair<std::uint16_t, std::uint32_t>>& values) {
    Bytes d;
    Put16(d, row);
    Put16(d, firstColumn);
    for (const auto& [xf, rk] : values) {
        Put16(d, xf);
        Put32(d, rk);
    }
    Put16(d, static_cast<std::uint16_t>(firstColumn + values.size() - 1));
    return Make(kMulRk, std::move(d));
}

Record NumberRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, double value) {
    Bytes d;
    Put16(d, row);
    Put16(d, column);
    Put16(d, xf);
    PutF64(d, value);
    return Make(kNumber, std::move(d));
}

Record LabelSstRecord(std::uint16_t row, std::uint16_t column, std::uint16_t xf, std::uint32_t index) {
    Bytes d;
    Put16(d, row);
    Put16(d, column);
    Put16(d, xf);
    Put32(d, index);
    return Make(kLabelSst, std::move(d));
}

std::vector<Record> FormulaRecords(std::uint16_t row, std::uint16_t column, std::uint16_t xf,
                                   const FormulaHolder& holder) {
    std::vector<Record> records;
    Bytes d;
    Put16(d, row);
    Put16(d, column);
    Put16(d, xf);
    d.insert(d.end(), holder.result.begin(), holder.result.end());
    Put16(d, holder.options);
    Put32(d, 0);
    d.insert(d.end(), holder.tokens.begin(), holder.tokens.end());
    records.push_back(Make(kFormula, std::move(d)));
    if (holder.followCode)
        records.push_back(Make(holder.followCode, holder.followData));
    if (holder.hasText) {
        Bytes text;
        WriteLongString(text, holder.text);
        records.push_back(Make(kString, std::move(text)));
    }
    return records;
}

std::vector<Record> MergedCellsRecords(const std::vector<MergedCell>& ranges) {
    constexpr std::size_t kPerRecord = 1027; // 2 + 1027 * 8 bytes fill one record
    std::vector<Record> records;
    for (std::size_t first = 0; first < ranges.size(); first += kPerRecord) {
        const std::size_t count = std::min(kPerRecord, ranges.size() - first);
        Bytes d;
        Put16(d, static_cast<std::uint16_t>(count));
        for (std::size_t i = first; i < first + count; ++i)
            for (const auto v :
                 {ranges[i].firstRow, ranges[i].lastRow, ranges[i].firstColumn, ranges[i].lastColumn})
                Put16(d, v);
        records.push_back(Make(kMergedCells, std::move(d)));
    }
    return records;
}

} // namespace ExcelLog
