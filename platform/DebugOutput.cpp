#include "platform/DebugOutput.h"

#include <QString>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace {
std::mutex g_outputLock; // keeps lines from two threads apart

// The local time of day as HH:MM:SS.mmm. Made without Qt's locale, which a worker's last line at the
// process's exit may outlive.
std::string TimeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long millis = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min, local.tm_sec,
                  millis);
    return text;
}
} // namespace

void OutputDebugString(std::string_view text) {
    const std::string stamp = TimeStamp();
    std::string_view body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
        body.remove_suffix(1);
    std::lock_guard lock(g_outputLock);
    std::fprintf(stderr, "%s %.*s\n", stamp.c_str(), static_cast<int>(body.size()), body.data());
}

void OutputDebugString(std::u16string_view text) {
    const QByteArray utf8 = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    OutputDebugString(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void DebugPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    OutputDebugString(text);
}
