// Message boxes: one call shape for the whole program. The caption and text of every box also go to the
// debug output. Tests install a prompter that answers and records instead of showing a window.
// UI thread only: workers hand their errors to a window by message and that window shows the box.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

namespace platform {

// Answers a message box. The default prompter shows a QMessageBox.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual int ask(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) = 0;
    // A box nobody waits for (ShowNoticeBox); a scripted prompter takes it as an OK box.
    virtual void notify(HWND owner, std::u16string_view text, std::u16string_view caption) {
        ask(owner, text, caption, MB_OK);
    }
};

// Installs a prompter (nullptr restores the default); returns the previous one. Not owned.
Prompter* setPrompter(Prompter* prompter);

// UI thread: the operator's window, over which every box opens unless its owner is a window on the same
// screen (a dialog of the operator's); so no box ever opens on the spectators' monitor. 0 forgets it.
void setMessageBoxOwner(HWND operatorWindow);

} // namespace platform

// Shows a box and returns IDOK, IDCANCEL, IDYES or IDNO. An empty caption reads "Veziruduz".
int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption = {}, UINT flags = MB_OK);
// Narrow texts are UTF-8.
int MessageBox(HWND owner, std::string_view text, std::string_view caption = {}, UINT flags = MB_OK);
// An OK box that returns at once: it stays on the screen until the operator closes it, while the program
// goes on. An empty caption reads "Veziruduz".
void ShowNoticeBox(HWND owner, std::u16string_view text, std::u16string_view caption = {});
// The framework's box with the application's caption and no owner.
int AfxMessageBox(std::u16string_view text, UINT flags = MB_OK);
