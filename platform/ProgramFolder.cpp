#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace platform {

std::u16string findProgramFolder() {
    QString folder;
    if (const char* home = std::getenv("BELVANTA_HOME"); home && *home)
        folder = QDir(QString::fromLocal8Bit(home)).absolutePath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    folder = QDir::cleanPath(folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder.toStdU16String();
}

} // namespace platform
