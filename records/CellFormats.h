// Cell formats of a workbook: a wanted look (font, number format, alignment, borders, fill) is turned into
// the index of a cell-format record with exactly that look, found among the workbook's records or added to
// them; fonts likewise. Also the table of number-format strings by index. User-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class ExcelBook;
class CellFormatTable;

// A wanted font.
struct FontSpec {
    std::u16string name = u"Arial";
    std::uint16_t height = 200; // twentieths of a point
    std::uint16_t weight = 400;
    std::uint16_t options = 0;
    std::uint16_t colour = 0x7FFF; // palette index
    std::uint16_t escapement = 0;
    std::uint8_t underline = 0;
    std::uint8_t family = 0;
    std::uint8_t charset = 0;
};

// A wanted cell look. Whoever changes a field sets `index` back to -1.
struct XfSpec {
    CellFormatTable* table = nullptr; // not owned
    int index = -1;                   // the cell format found for it; -1 not yet looked up
    std::uint16_t font = 0;
    std::uint16_t format = 0;
    std::uint8_t alignment = 0x20;
    std::uint8_t rotation = 0;
    std::uint8_t indent = 0;
    std::uint32_t border1 = 0;   // line styles of the four sides
    std::uint32_t border2 = 0;   // border colours, diagonal, and the fill pattern in the top 6 bits
    std::uint16_t fill = 0x20C0; // pattern colour in bits 0-6, background colour in bits 7-13
};

// Built for one book and dropped after use.
class CellFormatTable {
public:
    static constexpr std::uint16_t kFirstFreeFormat = 164;

    explicit CellFormatTable(ExcelBook& book);

    // The BIFF index of a font with exactly the requested look (there is no font 4).
    std::uint16_t FindOrAddFont(const FontSpec& spec);
    // The position of a cell format with exactly the requested look among the workbook's cell formats.
    int FindOrAddXF(const XfSpec& spec);

    std::uint16_t nextFormatIndex() const { return m_nextFormat; }
    const std::map<std::uint16_t, std::u16string>& formats() const { return m_formats; }
    std::optional<std::uint16_t> FormatIndex(const std::u16string& text) const;

private:
    ExcelBook& m_book;
    std::uint16_t m_nextFormat = kFirstFreeFormat;
    std::map<std::uint16_t, std::u16string> m_formats;
    std::map<std::u16string, std::uint16_t> m_formatIndex;
};
