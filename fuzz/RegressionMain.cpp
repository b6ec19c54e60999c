// Runs a fuzz target over its corpus: every file of every folder (or file) named on the command line, once.
// The test build's sanitizers stop the run at the first fault. Exit status 0 when every input ran.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // a reader may make a window object; none is shown
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo named(QString::fromLocal8Bit(argv[i]));
        QStringList files;
        if (named.isDir()) {
            for (const QFileInfo& entry : QDir(named.filePath()).entryInfoList(QDir::Files, QDir::Name))
                files << entry.filePath();
        } else {
            files << named.filePath();
        }
        for (const QString& path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
            ++inputs;
        }
    }
    std::fprintf(stderr, "%d inputs ran\n", inputs);
    return inputs > 0 ? 0 : 1;
}
