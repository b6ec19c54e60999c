// Process-wide objects that exist before the first window and outlive the last.
#pragma once

#include <string>
#include <string_view>

// The program folder, absolute, with a trailing '/'. Base of every path of the program.
extern std::u16string g_strAppDir;
// Firmware version of the USB receiver, "major.minor". The receive thread writes it: while the receiver
// runs, read and write it only through ReceiverVersionText / SetReceiverVersionText (any thread).
extern std::u16string g_strReceiverVersion;
std::u16string ReceiverVersionText();
void SetReceiverVersionText(std::u16string text);
// The last result row read from the local database.
extern std::u16string g_strResultRow[40];
// Title and weight text of the loaded match.
extern std::u16string g_strMatchTitle;
extern std::u16string g_strMatchWeight;

// An absolute path below the program folder, e.g. AppPath(u"ini/Rule.ini").
std::u16string AppPath(std::u16string_view relative);
