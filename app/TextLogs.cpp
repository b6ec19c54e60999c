#include "app/TextLogs.h"

#include "app/FileWriter.h"
#include "platform/DebugOutput.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>

bool AppendUtf16LeLog(const QString& path, std::u16string_view text, bool onlyIfExists) {
    QFile file(path);
    if (onlyIfExists && !file.exists())
        return false;
    if (!file.open(QIODevice::ReadWrite)) {
        DebugPrintf("log %s not written: %s", path.toStdString().c_str(),
                    file.errorString().toStdString().c_str());
        return false;
    }
    qint64 size = file.size();
    if (size % 2 != 0) {
        DebugPrintf("log %s ended in half a character; cut back to whole ones", path.toStdString().c_str());
        if (!file.resize(--size))
            return false;
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(text.size() * 2));
    for (const char16_t unit : text) {
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    if (!file.seek(size) || file.write(bytes) != bytes.size() || !file.flush()) {
        DebugPrintf("log %s not written: %s", path.toStdString().c_str(),
                    file.errorString().toStdString().c_str());
        file.resize(size); // whole lines or nothing
        return false;
    }
    return true;
}

void QueueUtf16LeLogAppend(const QString& path, std::u16string text, bool onlyIfExists) {
    TheFileWriter().Append([path, text = std::move(text), onlyIfExists] {
        return AppendUtf16LeLog(path, text, onlyIfExists) || (onlyIfExists && !QFile::exists(path));
    });
}

void QueueLogFileCreation(const QString& path) {
    TheFileWriter().Append([path] {
        if (QFile::exists(path))
            return true;
        QFile file(path);
        if (QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly))
            return true;
        DebugPrintf("log %s not created: %s", path.toStdString().c_str(),
                    file.errorString().toStdString().c_str());
        return false;
    });
}

bool IsSafeFileNamePart(std::string_view text) {
    if (text.find("..") != std::string_view::npos)
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}
