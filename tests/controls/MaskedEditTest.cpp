// The masked edit: keys typed into the control against the text and caret they leave, the owner's window
// text, pastes, the focus-out validation and the locale's separators.
#include "controls/MaskedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

// Counts the refused keys instead of beeping.
class CountingEdit : public CMaskedEdit {
public:
    int invalidKeys = 0;
    int validations = 0;
    using CMaskedEdit::CMaskedEdit;

protected:
    void OnInvalidKey() override { ++invalidKeys; }
};

void Press(QWidget& w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&w, &event);
}

// Plays a key script: plain characters are typed; <BS>, <DEL>, <INS>, <LEFT>, <RIGHT>, <HOME> and <SHL>
// (Shift+Left) are those keys.
void Play(QWidget& w, const std::string& script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '<') {
            const std::size_t close = script.find('>', i);
            const std::string name = script.substr(i + 1, close - i - 1);
            i = close;
            if (name == "BS")
                Press(w, Qt::Key_Backspace);
            else if (name == "DEL")
                Press(w, Qt::Key_Delete);
            else if (name == "INS")
                Press(w, Qt::Key_Insert);
            else if (name == "LEFT")
                Press(w, Qt::Key_Left);
            else if (name == "RIGHT")
                Press(w, Qt::Key_Right);
            else if (name == "HOME")
                Press(w, Qt::Key_Home);
            else if (name == "SHL")
                Press(w, Qt::Key_Left, {}, Qt::ShiftModifier);
            continue;
        }
        const QString text = QString(QChar(script[i]));
        Press(w, script[i] >= 'a' && script[i] <= 'z' ? Qt::Key_A + (script[i] - 'a') : Qt::Key_unknown,
              text);
    }
}

constexpr MaskSeparators kColonAndStop{u'.', u',', u':', u'/'};

struct KeyCase {
    const char* label;
    const char* mask;
    const char* initial; // owner's window text first; "" leaves the empty mask
    int caret;           // caret before the keys
    int selectionEnd;    // > caret: the selection [caret, selectionEnd)
    const char* keys;
    const char* text; // shown afterwards
    int caretAfter;
    int invalidKeys;
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) {
    return os << c.label;
}

class MaskedEditKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MaskedEditKeys, LeavesTextAndCaret) {
    const KeyCase& c = GetParam();
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask(QString::fromUtf8(c.mask));
    if (*c.initial)
        edit.SetWindowText(QString::fromUtf8(c.initial));
    if (c.selectionEnd > c.caret)
        edit.setSelection(c.caret, c.selectionEnd - c.caret);
    else
        edit.setCursorPosition(c.caret);
    Play(edit, c.keys);
    EXPECT_EQ(edit.text().toStdString(), c.text);
    EXPECT_EQ(edit.cursorPosition(), c.caretAfter);
    EXPECT_EQ(edit.invalidKeys, c.invalidKeys);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskedEditKeys,
    ::testing::Values(
        KeyCase{"EmptyShowsPrompts", "# : ## . ##", "", 0, 0, "", "  :    .   ", 0, 0},
        KeyCase{"FiveDigitsFillEveryPosition", "# : ## . ##", "", 0, 0, "12345", "1 : 23 . 45", 11, 0},
        KeyCase{"FirstDigitJumpsTheSeparatorRun", "# : ## . ##", "", 0, 0, "1", "1 :    .   ", 4, 0},
        KeyCase{"LetterRefused", "# : ##", "", 0, 0, "x", "  :   ", 0, 1},
        KeyCase{"PastTheEndRefused", "# : ## . ##", "1:23.45", 11, 0, "6", "1 : 23 . 45", 11, 1},
        KeyCase{"InsertShiftsAndLastFallsOff", "# : ##", "2:30", 0, 0, "5", "5 : 23", 4, 0},
        KeyCase{"OvertypeReplaces", "# : ##", "2:30", 0, 0, "<INS>7", "7 : 30", 4, 0},
        KeyCase{"BackspaceAfterTheRunDeletesTheDigitBeforeIt", "# : ##", "2:30", 4, 0, "<BS>", "3 : 0 ", 0,
                0},
        KeyCase{"BackspaceAtTheStartDoesNothing", "# : ##", "2:30", 0, 0, "<BS>", "2 : 30", 0, 0},
        KeyCase{"DeleteOnALiteralTakesTheNextDigit", "# : ##", "2:30", 1, 0, "<DEL>", "2 : 0 ", 4, 0},
        KeyCase{"DeleteAtTheEndDoesNothing", "# : ##", "2:30", 6, 0, "<DEL>", "2 : 30", 6, 0},
        KeyCase{"TypingOnALiteralBeepsAndMovesOn", "# : ##", "2:30", 2, 0, "9", "2 : 30", 4, 1},
        KeyCase{"SelectionReplacedByTheKey", "# : ##", "2:30", 0, 6, "4", "4 :   ", 4, 0},
        KeyCase{"SelectionOfLiteralsOnlyRefused", "# : ##", "2:30", 1, 4, "4", "2 : 30", 4, 1},
        KeyCase{"LetterOverTheWholeTextKeepsIt", "# : ##", "2:30", 0, 6, "x", "2 : 30", 0, 1},
        KeyCase{"LetterOverTheSecondsKeepsThem", "# : ##", "2:30", 4, 6, "x", "2 : 30", 4, 1},
        KeyCase{"SelectionRemovedByBackspace", "# : ##", "2:30", 4, 6, "<BS>", "2 :   ", 4, 0},
        KeyCase{"RightSkipsTheLiterals", "# : ##", "2:30", 0, 0, "<RIGHT>", "2 : 30", 4, 0},
        KeyCase{"LeftStopsBehindTheDigitBeforeTheRun", "# : ##", "2:30", 4, 0, "<LEFT>", "2 : 30", 1, 0},
        KeyCase{"ShiftLeftKeepsTheSelection", "# : ##", "2:30", 4, 0, "<SHL>", "2 : 30", 3, 0},
        KeyCase{"HomeGoesToTheFirstInput", " ##", "12", 3, 0, "<HOME>", " 12", 1, 0},
        KeyCase{"UpperCaseMask", ">>", "", 0, 0, "ab", "AB", 2, 0},
        KeyCase{"LowerCaseMaskRefusesDigits", "<<", "", 0, 0, "A1", "a ", 1, 1},
        KeyCase{"EscapedHashIsALiteral", "\\##", "", 1, 0, "7", "#7", 2, 0},
        KeyCase{"PrintableMask", "&&", "", 0, 0, "-+", "-+", 2, 0},
        KeyCase{"WithoutAMaskAPlainEdit", "", "", 0, 0, "ab1", "ab1", 3, 0}));

struct SetTextCase {
    const char* label;
    const char* mask;
    const char* text;
    const char* shown;
};

class MaskedEditSetText : public ::testing::TestWithParam<SetTextCase> {};

TEST_P(MaskedEditSetText, FillsTheInputPositions) {
    const SetTextCase& c = GetParam();
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask(QString::fromUtf8(c.mask));
    int updates = 0;
    int changes = 0;
    QObject::connect(&edit, &CMaskedEdit::updated, [&] { ++updates; });
    QObject::connect(&edit, &CMaskedEdit::changed, [&] { ++changes; });
    edit.SetWindowText(QString::fromUtf8(c.text));
    EXPECT_EQ(edit.GetWindowText().toStdString(), c.shown);
    // The owner's text is an update, not an edit.
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskedEditSetText,
    ::testing::Values(SetTextCase{"RepeatsTheMask", "# : ##", "2 : 30", "2 : 30"},
                      SetTextCase{"CompactTime", "# : ##", "2:30", "2 : 30"},
                      SetTextCase{"CompactLongTime", "# : ## . ##", "9:59.99", "9 : 59 . 99"},
                      SetTextCase{"ShortTextLeavesPrompts", "# : ## . ##", "1:05", "1 : 05 .   "},
                      SetTextCase{"OverlongTextIsCut", "# : ##", "12:345", "1 : 23"},
                      SetTextCase{"RefusedCharactersSkipped", "# : ##", "a1b2c3", "1 : 23"},
                      SetTextCase{"NoDigitsKeepsThePrompts", "# : ##", "abc", "  :   "},
                      SetTextCase{"EmptyClears", "# : ##", "", "  :   "}));

TEST(MaskedEdit, TypingReportsAChange) {
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask("# : ##");
    int changes = 0;
    QObject::connect(&edit, &CMaskedEdit::changed, [&] { ++changes; });
    Play(edit, "3");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit.GetTypedChars().toStdString(), "3  ");
}

TEST(MaskedEdit, PasteDropsLiteralsAndRefusedCharacters) {
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask("# : ## . ##");
    QApplication::clipboard()->setText("4:5x");
    edit.setCursorPosition(0);
    Press(edit, Qt::Key_V, {}, Qt::ControlModifier);
    EXPECT_EQ(edit.text().toStdString(), "4 : 5  .   ");
    // The caret waits on the first position still empty.
    EXPECT_EQ(edit.cursorPosition(), 5);
}

TEST(MaskedEdit, CutRemovesTheSelectedDigits) {
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask("# : ##");
    edit.SetWindowText("2:30");
    edit.setSelection(4, 2);
    Press(edit, Qt::Key_X, {}, Qt::ControlModifier);
    EXPECT_EQ(edit.text().toStdString(), "2 :   ");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "30");
}

TEST(MaskedEdit, OwnerRefusingTheValueKeepsTheFocusAndPlacesTheCaret) {
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask("# : ##");
    edit.SetWindowText("2:30");
    QObject::connect(&edit, &CMaskedEdit::validate, [](MaskedEditValidation& record) {
        record.valid = false;
        record.caretPos = 3;
    });
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &out);
    EXPECT_EQ(edit.invalidKeys, 1);
    EXPECT_EQ(edit.cursorPosition(), 4);
}

TEST(MaskedEdit, AcceptedValueLeavesQuietly) {
    CountingEdit edit;
    edit.SetMask("# : ##");
    int validations = 0;
    QObject::connect(&edit, &CMaskedEdit::validate, [&](MaskedEditValidation&) { ++validations; });
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &out);
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(edit.invalidKeys, 0);
}

TEST(MaskedEdit, SeparatorsComeFromTheLocale) {
    const MaskSeparators german = CMaskedEdit::SeparatorsOf(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.decimal, u',');
    EXPECT_EQ(german.time, u':');
    EXPECT_EQ(german.date, u'.');
    CountingEdit edit;
    edit.SetSeparators(german);
    edit.SetMask("# : ## . ##");
    edit.SetWindowText("1:23.45");
    EXPECT_EQ(edit.text().toStdString(), "1 : 23 , 45");
}

TEST(MaskedEdit, NewMaskStartsEmpty) {
    CountingEdit edit;
    edit.SetSeparators(kColonAndStop);
    edit.SetMask("# : ##");
    edit.SetWindowText("2:30");
    edit.SetMask("# : ## . ##");
    EXPECT_EQ(edit.text().toStdString(), "  :    .   ");
    edit.EmptyMask();
    EXPECT_EQ(edit.text().toStdString(), "");
    Play(edit, "x:");
    EXPECT_EQ(edit.text().toStdString(), "x:");
}

} // namespace
