#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempHome::TempHome() {
    QDir root(m_dir.path());
    for (const char* sub : {"ini", "Cfg", "Img/Flag", "Sound", "Log", "Result"})
        root.mkpath(QString::fromLatin1(sub));
}

std::string TempHome::path() const {
    return m_dir.path().toStdString() + "/";
}

std::u16string TempHome::widePath() const {
    return (m_dir.path() + u'/').toStdU16String();
}

void TempHome::write(const std::string& relative, const std::string& bytes) const {
    const QString full = QString::fromStdString(file(relative));
    QDir().mkpath(QFileInfo(full).path());
    QFile out(full);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TempHome::read(const std::string& relative) const {
    QFile in(QString::fromStdString(file(relative)));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll().toStdString();
}
