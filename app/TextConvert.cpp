#include "app/TextConvert.h"

#include "platform/CodePage.h"

namespace {
constexpr UINT kKorean = 949;
} // namespace

std::string AnsiToUtf8(std::string_view ansi) {
    return ConvertCodePage(ansi, CP_ACP, CP_UTF8);
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return ConvertCodePage(utf8, CP_UTF8, CP_ACP);
}

std::u16string RecordTextWide(std::string_view utf8) {
    return MultiByteToWide(utf8, CP_UTF8);
}

std::string RecordTextUtf8(std::string_view utf8) {
    return WideToMultiByte(RecordTextWide(utf8), CP_UTF8);
}

std::u16string Cp949ToWide(std::string_view cp949) {
    return MultiByteToWide(cp949, kKorean);
}

std::string WideToCp949(std::u16string_view text) {
    return WideToMultiByte(text, kKorean);
}
