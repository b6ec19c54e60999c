// The text model of the masked edit: a mask of literal and input positions, one character each, so a caret
// index in the shown text is a mask index. The widget (controls/MaskedEdit.h) turns keys, pastes and window
// texts into the operations here; keeping them apart lets a table of keystrokes be checked without a window.
//
// Thread: any, one object per thread (plain data).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One mask position: its kind and its character (the literal shown, or the content of an input position).
struct CMaskData {
    // 0 decimal, 1 thousands, 2 time, 3 date separator; 4 '#' digit, 5 'A' letter or digit, 6 '?' letter,
    // 7 '>' letter stored upper-case, 8 '<' letter stored lower-case, 9 '&' printable; 10 escaped literal,
    // 11 any other literal.
    int type = 11;
    char16_t ch = 0;

    bool IsInput() const { return type >= 4 && type <= 9; }
    // The character as this input position stores it (case converted), or 0 when the position refuses it.
    char16_t Accept(char16_t c) const;
};

// The separators a mask shows for ".", ",", ":" and "/".
struct MaskSeparators {
    char16_t decimal = u'.';
    char16_t thousands = u',';
    char16_t time = u':';
    char16_t date = u'/';
};

class MaskModel {
public:
    // What a key did: where the caret goes (a mask index; -1 leaves it) and whether it was refused.
    struct KeyResult {
        int caret = -1;
        bool invalid = false;
        bool changed = false; // the contents changed, so the text is shown again
    };

    MaskSeparators separators;
    char16_t prompt = u' ';

    // Replaces the mask; every input position starts with the prompt.
    void SetMask(std::u16string_view mask);
    void EmptyMask() { m_items.clear(); }
    bool HasMask() const { return !m_items.empty(); }
    int Length() const { return static_cast<int>(m_items.size()); }
    const std::vector<CMaskData>& Items() const { return m_items; }
    bool IsInput(int index) const;

    // Every position's character in order: the text the control shows.
    std::u16string DisplayText() const;
    // The contents of the input positions in order, prompts included.
    std::u16string TypedChars() const;
    // True when every input position holds the prompt.
    bool AllPrompts() const;

    // Fills the input positions from the source in turn (without its prompts unless raw): a prompt fills
    // as prompt, a refused character is skipped; a position left when the source ran out while skipping
    // keeps its content, one after that gets the prompt. False when a character was skipped.
    bool FillPositions(std::u16string_view source, bool raw);
    // Removes the contents of the input positions in [first, end); later contents move up and the tail gets
    // prompts. Returns how many were removed.
    int RemoveChars(int first, int end);
    // Inserts before the first input position at or after index; later contents move down and the last
    // falls off. -1 (contents unchanged) when a character would land where it is refused, or there is no
    // input position there; else the index it went to.
    int InsertCharAt(int index, char16_t c);
    // At an input position the character (or the prompt) replaces the content: its index, or -1 when
    // refused. At any other index nothing happens and the index is returned.
    int ReplaceCharAt(int index, char16_t c);

    // The first input position at or after index; Length() when there is none.
    int CaretForward(int index) const;
    // index when it is an input position; else one past the nearest input position before it; else the
    // first input position after it.
    int CaretBackward(int index) const;

    // A text set by the owner: runs of literals that the text repeats in place are cut out, the rest fills
    // the positions raw (so other literals are skipped as refused).
    void SetText(std::u16string_view text);

    // Editing keys on a selection [start, end) (start == end: the caret). The caret of the result is a
    // place to move forward from, as the control shows it. A refused character changes nothing, not even
    // the selection it was typed over.
    KeyResult Delete(int start, int end);
    KeyResult Backspace(int start, int end);
    KeyResult Type(int start, int end, char16_t c, bool insertMode);
    // A paste of text over [start, end), as a plain edit would do it, then refilled from what that gives.
    KeyResult Paste(int start, int end, std::u16string_view text);

private:
    std::vector<CMaskData> m_items;
};
