// The program's debug output: one line per call on standard error, stamped with the local time.
// Safe from any thread.
#pragma once

#include <string_view>

void OutputDebugString(std::string_view text);
void OutputDebugString(std::u16string_view text);
// printf-style convenience; the line is not limited in length.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
