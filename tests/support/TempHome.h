// A fresh program folder per test: ini/, Cfg/, Img/Flag/, Sound/, Log/ and Result/ in a temporary folder
// that is removed with the object.
#pragma once

#include <QTemporaryDir>

#include <string>

class TempHome {
public:
    TempHome();

    // Absolute, with a trailing '/'.
    std::string path() const;
    std::u16string widePath() const;
    std::string file(const std::string& relative) const { return path() + relative; }
    // Writes a file below the folder (bytes as given), making its folder. Both first wait (bounded) for the
    // program's file writer to write what it was given, so the file is the one the program left.
    void write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const;
    // Makes the empty local database Vevuvurer.edi from the shipped schema, as the set-up script does, then
    // runs extraSql on it. Returns "" on success, else what went wrong.
    std::string makeLocalDatabase(const std::string& extraSql = {}) const;
    // The connection text by which the program opens that database.
    std::string localConnection() const {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file("Vevuvurer.edi");
    }

private:
    QTemporaryDir m_dir;
};
