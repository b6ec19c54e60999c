#include "records/CellFormats.h"

#include "records/ExcelBook.h"

#include <utility>

namespace {

// The built-in number formats every reader knows, in their US-English form.
const std::pair<std::uint16_t, const char16_t*> kBuiltInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {5, u"\"$\"#,##0_);(\"$\"#,##0)"},
    {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
    {7, u"\"$\"#,##0.00_);(\"$\"#,##0.00)"},
    {8, u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ?\?/??"},
    {14, u"m/d/yy"},
    {15, u"d-mmm-yy"},
    {16, u"d-mmm"},
    {17, u"mmm-yy"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"m/d/yy h:mm"},
    {37, u"#,##0_);(#,##0)"},
    {38, u"#,##0_);[Red](#,##0)"},
    {39, u"#,##0.00_);(#,##0.00)"},
    {40, u"#,##0.00_);[Red](#,##0.00)"},
    {41, u"_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
    {42, u"_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
    {43, u"_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"?\?_);_(@_)"},
    {44, u"_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"?\?_);_(@_)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mm:ss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

// BIFF font indexes skip 4.
std::uint16_t FontIndex(std::size_t position) {
    return static_cast<std::uint16_t>(position < 4 ? position : position + 1);
}

} // namespace

CellFormatTable::CellFormatTable(ExcelBook& book) : m_book(book) {
    for (const auto& [index, text] : kBuiltInFormats)
        m_formats[index] = text;
    for (const ExcelLog::Format& f : std::as_const(book).globals().formats) {
        m_formats[f.index] = f.text.text;
        if (f.index >= m_nextFormat)
            m_nextFormat = static_cast<std::uint16_t>(f.index + 1);
    }
    for (const auto& [index, text] : m_formats)
        m_formatIndex[text] = index;
}

std::optional<std::uint16_t> CellFormatTable::FormatIndex(const std::u16string& text) const {
    const auto it = m_formatIndex.find(text);
    if (it == m_formatIndex.end())
        return std::nullopt;
    return it->second;
}

std::uint16_t CellFormatTable::FindOrAddFont(const FontSpec& spec) {
    // Looked through without handing the records out for writing, so a font found changes nothing.
    const auto& fonts = std::as_const(m_book).globals().fonts;
    for (std::size_t p = 0; p < fonts.size(); ++p) {
        const ExcelLog::Font& f = fonts[p];
        if (f.name.text == spec.name && f.height == spec.height && f.weight == spec.weight &&
            f.options == spec.options && f.colour == spec.colour && f.escapement == spec.escapement &&
            f.underline == spec.underline && f.family == spec.family && f.charset == spec.charset)
            return FontIndex(p);
    }
    ExcelLog::Font f;
    f.height = spec.height;
    f.options = spec.options;
    f.colour = spec.colour;
    f.weight = spec.weight;
    f.escapement = spec.escapement;
    f.underline = spec.underline;
    f.family = spec.family;
    f.charset = spec.charset;
    f.name = ExcelLog::BiffString{spec.name.substr(0, 255), true};
    m_book.globals().fonts.push_back(f);
    return FontIndex(fonts.size() - 1);
}

int CellFormatTable::FindOrAddXF(const XfSpec& spec) {
    const auto& xfs = std::as_const(m_book).globals().xfs;
    for (std::size_t p = 0; p < xfs.size(); ++p) {
        const ExcelLog::XF& x = xfs[p];
        if (x.font == spec.font && x.format == spec.format && x.alignment == spec.alignment &&
            x.rotation == spec.rotation && x.indent == spec.indent && x.border1 == spec.border1 &&
            x.border2 == spec.border2 && x.fill == spec.fill)
            return static_cast<int>(p);
    }
    ExcelLog::XF x;
    x.font = spec.font;
    x.format = spec.format;
    x.alignment = spec.alignment;
    x.rotation = spec.rotation;
    x.indent = spec.indent;
    x.border1 = spec.border1;
    x.border2 = spec.border2;
    x.fill = spec.fill;
    x.typeAndProtection = 0x0078; // a cell format
    m_book.globals().xfs.push_back(x);
    return static_cast<int>(xfs.size() - 1);
}

void ExcelCell::SetFormat(XfSpec& spec) {
    if (spec.index < 0 && spec.table)
        spec.index = spec.table->FindOrAddXF(spec);
    if (spec.index >= 0)
        m_xf = static_cast<std::uint16_t>(spec.index);
}
