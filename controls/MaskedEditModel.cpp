#include "controls/MaskedEditModel.h"

#include <QChar>

#include <algorithm>

namespace {

bool IsPrintable(char16_t c) {
    return (c >= 32 && c <= 126) || (c >= 128 && c <= 255);
}

} // namespace

char16_t CMaskData::Accept(char16_t c) const {
    const QChar q(c);
    switch (type) {
    case 4:
        return c >= u'0' && c <= u'9' ? c : 0;
    case 5:
        return q.isLetterOrNumber() ? c : 0;
    case 6:
        return q.isLetter() ? c : 0;
    case 7:
        return q.isLetter() ? q.toUpper().unicode() : 0;
    case 8:
        return q.isLetter() ? q.toLower().unicode() : 0;
    case 9:
        return IsPrintable(c) ? c : 0;
    default:
        return 0;
    }
}

void MaskModel::SetMask(std::u16string_view mask) {
    m_items.clear();
    for (std::size_t i = 0; i < mask.size(); ++i) {
        CMaskData item;
        const char16_t c = mask[i];
        switch (c) {
        case u'.':
            item = {0, separators.decimal};
            break;
        case u',':
            item = {1, separators.thousands};
            break;
        case u':':
            item = {2, separators.time};
            break;
        case u'/':
            item = {3, separators.date};
            break;
        case u'#':
            item = {4, prompt};
            break;
        case u'A':
            item = {5, prompt};
            break;
        case u'?':
            item = {6, prompt};
            break;
        case u'>':
            item = {7, prompt};
            break;
        case u'<':
            item = {8, prompt};
            break;
        case u'&':
            item = {9, prompt};
            break;
        case u'\\':
            // A trailing lone backslash stands for itself.
            item = {10, i + 1 < mask.size() ? mask[++i] : c};
            break;
        default:
            item = {11, c};
            break;
        }
        m_items.push_back(item);
    }
}

bool MaskModel::IsInput(int index) const {
    return index >= 0 && index < Length() && m_items[index].IsInput();
}

std::u16string MaskModel::DisplayText() const {
    std::u16string text;
    text.reserve(m_items.size());
    for (const CMaskData& item : m_items)
        text += item.ch;
    return text;
}

std::u16string MaskModel::TypedChars() const {
    std::u16string text;
    for (const CMaskData& item : m_items)
        if (item.IsInput())
            text += item.ch;
    return text;
}

bool MaskModel::AllPrompts() const {
    return std::all_of(m_items.begin(), m_items.end(),
                       [&](const CMaskData& item) { return !item.IsInput() || item.ch == prompt; });
}

bool MaskModel::FillPositions(std::u16string_view source, bool raw) {
    std::u16string src(source);
    if (!raw)
        std::erase(src, prompt);
    bool ok = true;
    std::size_t next = 0;
    for (CMaskData& item : m_items) {
        if (!item.IsInput())
            continue;
        if (next >= src.size()) {
            item.ch = prompt;
            continue;
        }
        while (next < src.size()) {
            const char16_t c = src[next++];
            if (c == prompt) {
                item.ch = prompt;
                break;
            }
            if (const char16_t stored = item.Accept(c)) {
                item.ch = stored;
                break;
            }
            ok = false; // skipped; when the source ends here the position keeps its content
        }
    }
    return ok;
}

int MaskModel::RemoveChars(int first, int end) {
    std::u16string kept;
    int removed = 0;
    for (int i = 0; i < Length(); ++i) {
        if (!m_items[i].IsInput())
            continue;
        if (i >= first && i < end)
            ++removed;
        else
            kept += m_items[i].ch;
    }
    if (removed == 0)
        return 0;
    std::size_t next = 0;
    for (CMaskData& item : m_items)
        if (item.IsInput())
            item.ch = next < kept.size() ? kept[next++] : prompt;
    return removed;
}

int MaskModel::InsertCharAt(int index, char16_t c) {
    const int at = CaretForward(std::max(index, 0));
    if (at >= Length())
        return -1;
    const std::vector<CMaskData> saved = m_items;
    char16_t carry = c;
    for (int i = at; i < Length(); ++i) {
        CMaskData& item = m_items[i];
        if (!item.IsInput())
            continue;
        const char16_t stored = carry == prompt ? prompt : item.Accept(carry);
        if (!stored) {
            m_items = saved;
            return -1;
        }
        carry = item.ch;
        item.ch = stored;
    }
    return at;
}

int MaskModel::ReplaceCharAt(int index, char16_t c) {
    if (!IsInput(index))
        return index;
    CMaskData& item = m_items[index];
    const char16_t stored = c == prompt ? prompt : item.Accept(c);
    if (!stored)
        return -1;
    item.ch = stored;
    return index;
}

int MaskModel::CaretForward(int index) const {
    for (int i = std::max(index, 0); i < Length(); ++i)
        if (m_items[i].IsInput())
            return i;
    return Length();
}

int MaskModel::CaretBackward(int index) const {
    if (IsInput(index))
        return index;
    for (int i = std::min(index, Length()) - 1; i >= 0; --i)
        if (m_items[i].IsInput())
            return i + 1;
    return CaretForward(index);
}

void MaskModel::SetText(std::u16string_view text) {
    std::u16string rest(text);
    std::size_t cut = 0;
    int i = 0;
    while (i < Length() && static_cast<std::size_t>(i) < text.size()) {
        if (m_items[i].IsInput()) {
            ++i;
            continue;
        }
        const int runStart = i;
        std::u16string run;
        while (i < Length() && !m_items[i].IsInput())
            run += m_items[i++].ch;
        if (i >= Length())
            break; // a run at the end of the mask is left in place
        const std::size_t place = static_cast<std::size_t>(runStart) - cut;
        if (place <= rest.size() && std::u16string_view(rest).substr(place, run.size()) == run) {
            rest.erase(place, run.size());
            cut += run.size();
        }
    }
    FillPositions(rest, true);
}

MaskModel::KeyResult MaskModel::Delete(int start, int end) {
    if (end <= start)
        end = start + 1;
    // A removal on literals only moves right until it reaches an input position or the end of the mask.
    while (end <= Length()) {
        if (RemoveChars(start, end) > 0)
            return {start, false, true};
        ++start;
        ++end;
    }
    return {};
}

MaskModel::KeyResult MaskModel::Backspace(int start, int end) {
    if (end <= start) {
        start -= 1;
        end = start + 1;
    }
    while (start >= 0) {
        if (RemoveChars(start, end) > 0)
            return {start, false, true};
        --start;
        --end;
    }
    return {0, false, false};
}

MaskModel::KeyResult MaskModel::Type(int start, int end, char16_t c, bool insertMode) {
    if (start == end && !IsInput(start))
        return {CaretForward(start), true, false};
    // A refused character must not cost the selection it was typed over.
    const std::vector<CMaskData> saved = m_items;
    if (end > start) {
        if (RemoveChars(start, end) == 0)
            return {CaretForward(start), true, false};
        insertMode = true;
    }
    const int at = insertMode ? InsertCharAt(start, c) : ReplaceCharAt(start, c);
    if (at < 0) {
        m_items = saved;
        return {start, true, false};
    }
    return {at + 1, false, true};
}

MaskModel::KeyResult MaskModel::Paste(int start, int end, std::u16string_view text) {
    std::u16string pasted = DisplayText();
    start = std::clamp(start, 0, static_cast<int>(pasted.size()));
    end = std::clamp(end, start, static_cast<int>(pasted.size()));
    pasted.replace(start, end - start, text);
    FillPositions(pasted, false);
    int caret = Length();
    for (int i = start; i < Length(); ++i)
        if (m_items[i].IsInput() && m_items[i].ch == prompt) {
            caret = i;
            break;
        }
    return {caret, false, true};
}
