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
    // Writes a file below the folder (bytes as given), making its folder.
    void write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const;

private:
    QTemporaryDir m_dir;
};
