// Conversions between UTF-16 text and 8-bit text in a numbered code page.
//
// Code pages: CP_ACP (the system's 8-bit character set: the locale's CODESET, where a UTF-8 or plain C/ASCII
// locale counts as UTF-8 because the program's own texts are UTF-8), CP_UTF8, and any number n that iconv
// knows as "CPn" (949, Korean, is the one the program names). An unknown code page converts to "".
//
// Damaged input never stops a conversion: bytes that do not decode become U+FFFD in wide text, and
// characters the target cannot hold (including lone surrogates) become '?' in 8-bit text.
//
// Thread: every function may be called from any thread; nothing is shared between calls.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

std::u16string MultiByteToWide(std::string_view bytes, UINT codePage);
std::string WideToMultiByte(std::u16string_view text, UINT codePage);
// Bytes in one code page to bytes in another; the same code page on both sides passes the bytes through.
std::string ConvertCodePage(std::string_view bytes, UINT from, UINT to);
