// What every fuzz target shares: a silent prompter (a reader that shows a box must not wait for a click),
// a match record, and a program folder of its own for the readers of files.
#pragma once

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "platform/MessageBox.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class SilentPrompter final : public platform::Prompter {
public:
    int ask(HWND, std::u16string_view, std::u16string_view, UINT) override { return IDOK; }
};

// Once per process: boxes answered at once, the match record made, a program folder with ini/ and Cfg/.
inline void Start() {
    static bool started = false;
    if (started)
        return;
    started = true;
    static SilentPrompter prompter;
    platform::setPrompter(&prompter);
    CreateMatchData();
    static QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("ini"));
    QDir(home.path()).mkpath(QStringLiteral("Cfg"));
    g_strAppDir = (home.path() + QLatin1Char('/')).toStdU16String();
}

// Writes the input as a file of the program folder.
inline void WriteHomeFile(const char* relative, const std::uint8_t* data, std::size_t size) {
    QFile file(QString::fromStdU16String(AppPath(QString::fromLatin1(relative).toStdU16String())));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

} // namespace fuzz
