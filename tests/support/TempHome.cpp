#include "tests/support/TempHome.h"

#include "app/FileWriter.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

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
    TheFileWriter().WaitIdle(20000);
    platform::flushProfileWrites(20000);
    const QString full = QString::fromStdString(file(relative));
    QDir().mkpath(QFileInfo(full).path());
    QFile out(full);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TempHome::read(const std::string& relative) const {
    TheFileWriter().WaitIdle(20000);
    platform::flushProfileWrites(20000);
    QFile in(QString::fromStdString(file(relative)));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll().toStdString();
}

std::string TempHome::makeLocalDatabase(const std::string& extraSql) const {
    QFile schemaFile(QStringLiteral(BELVANTA_SOURCE_DIR "/resources/home/Vevuvurer.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly))
        return "schema file not found";
    const std::string sql = schemaFile.readAll().toStdString() + extraSql;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file("Vevuvurer.edi").c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot create the database";
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string message = rc == SQLITE_OK ? "" : (error ? error : "schema failed");
    sqlite3_free(error);
    sqlite3_close(db);
    return message;
}
