// Settings files in the private-profile ("ini") shape: [section] lines followed by key=value lines.
//
// Reading: a missing file, section or key gives the default. Section and key names compare without regard to
// case and are trimmed of blanks, as are values; one pair of enclosing double or single quotes is removed
// from a value. Of duplicate sections only the first is used, and within it the first of duplicate keys.
// Lines starting with ';' and lines without '=' are ignored, as are keys before the first section.
// Files are UTF-8 with or without a byte-order mark, or UTF-16LE with its byte-order mark.
//
// Writing keeps every other line byte for byte, the file's line endings (CRLF or LF as found; a new file gets
// CRLF) and its encoding (a new file is UTF-8 without a byte-order mark). An existing key keeps its spelling
// and only its value changes; a new key is added at the end of its section, a new section at the end of the
// file. A value with blanks at its ends, or one enclosed in quotes, is written in double quotes so that it
// reads back unchanged. Names or values that would break the line structure (line breaks, a key with '=',
// a key starting with '[' or ';', a section name with ']', an empty key) are refused with FALSE.
// The file is replaced atomically: the new text goes to a temporary file in the same folder, is flushed to
// disk and renamed over the old one, so a crash leaves either the old or the new file. That is done by a
// writer thread of this layer, so a write returns without waiting for the disk: every read of this process
// sees the change at once, and a replacement that fails is tried again each second (the debug output says
// so) while the process runs; the process writes what waits before it ends. A folder that does not
// exist, or a file that exists but cannot be read, makes a write fail with FALSE.
//
// A file is read and parsed once per version: readers of many keys (a 64 x 64 division file) reuse the parse
// until the file changes (its size, times or inode), or this process writes it.
//
// Paths are absolute; wide paths and texts are UTF-16, narrow ones UTF-8.
// Thread: any thread. One process-wide mutex serialises every call, so a read never sees half of another
// thread's write and two writers never lose each other's change.
#pragma once

#include "platform/WinTypes.h"

// Copies the value (or `def`, "" when null) into `out`, truncated to size - 1 characters and always
// NUL-terminated when size > 0; a truncation never splits a surrogate pair. Returns the characters copied
// without the NUL. A null section or key reads the default (listing names is not supported).
DWORD GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* def,
                               char16_t* out, DWORD size, const char16_t* path);
// The value converted with _wtoi; `def` when the key is missing or its value is empty.
UINT GetPrivateProfileIntW(const char16_t* section, const char16_t* key, int def, const char16_t* path);
// Sets key = value, creating the file, section or key as needed. A null value deletes the key, a null key
// deletes the section (every copy of it, so the default reads afterwards); deleting what does not exist
// succeeds without touching the file. Returns TRUE on success.
BOOL WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* path);

// The same on UTF-8 texts and paths; a truncated value never ends in a partial UTF-8 sequence.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* out, DWORD size,
                               const char* path);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* path);

// Leading blanks, an optional sign, then decimal digits up to the first non-digit; no digits (or null) gives
// 0. A number beyond the int range saturates to INT_MAX or INT_MIN, as the C runtime does. Any thread.
int _wtoi(const char16_t* text);

namespace platform {
// Any thread: waits at most waitMs until every write is on the disk; true when none waits.
bool flushProfileWrites(int waitMs);
// Tests, any thread: how many times a settings file was read from the disk so far.
unsigned profileFileReadsForTests();
} // namespace platform
