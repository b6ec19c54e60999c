#include "platform/DebugOutput.h"

#include <QDateTime>
#include <QString>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace {
std::mutex g_outputLock; // keeps lines from two threads apart
}

void OutputDebugString(std::string_view text) {
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8();
    std::string_view body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
        body.remove_suffix(1);
    std::lock_guard lock(g_outputLock);
    std::fprintf(stderr, "%s %.*s\n", stamp.constData(), static_cast<int>(body.size()), body.data());
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
