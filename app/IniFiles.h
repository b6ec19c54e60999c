// The accessors of the program's settings files in the folder ini/ under the program folder (g_strAppDir).
// Every Part reads and writes Rule.ini, JudgeDev.ini, WeightDiv.ini, DevMgr.ini and ExtItf.ini through them.
//
// Thread: any thread once g_strAppDir is set at start-up; the settings-file layer serialises the calls.
#pragma once

#include "platform/WinTypes.h"

// Wide characters of a settings value buffer, the terminating NUL included.
constexpr int kIniValueChars = 260;

// Reads `key` of `section` in ini/<file> into `buffer` (always NUL-terminated, at most 259 characters).
// A missing file, section or key gives "". Returns the characters read.
DWORD ReadIniString(const WCHAR* section, const WCHAR* key, WCHAR (&buffer)[kIniValueChars],
                    const WCHAR* file);

// The value of `key` as a number: leading digits with an optional sign; "" or no digits give 0.
int ReadIniInt(const WCHAR* section, const WCHAR* key, const WCHAR* file);

// Writes key = value into ini/<file>, creating the file, section or key as needed. Returns TRUE on success.
BOOL WriteIniString(const WCHAR* section, const WCHAR* key, const WCHAR* value, const WCHAR* file);
