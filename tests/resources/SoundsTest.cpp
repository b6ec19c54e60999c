// The sounds the program plays are made by scripts/make-sounds; every name the match engine plays must come
// out of it as a playable wave file.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

struct Wave {
    bool valid = false;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    qint64 dataBytes = 0;
};

Wave ReadWave(const QString& path) {
    Wave wave;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wave;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "fmt ") {
            wave.channels = qFromLittleEndian<quint16>(bytes.constData() + at + 10);
            wave.rate = static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + at + 12));
            wave.bits = qFromLittleEndian<quint16>(bytes.constData() + at + 22);
        } else if (id == "data") {
            wave.dataBytes = std::min<qint64>(size, bytes.size() - at - 8);
            wave.valid = wave.channels > 0;
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

TEST(SoundsTest, TheScriptMakesEverySoundThePlayUses) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess script;
    script.start(QStringLiteral(BELVANTA_SOURCE_DIR "/scripts/make-sounds"), {dir.path()});
    ASSERT_TRUE(script.waitForFinished(60'000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();

    const struct {
        const char* name;
        double minSeconds;
    } sounds[] = {
        {"boong", 2.0},        {"mboong", 1.0},       {"deduction", 0.3},   {"removededuction", 0.3},
        {"hitbody", 0.1},      {"hithead", 0.2},      {"hitfunch", 0.1},    {"hittech", 0.3},
        {"manualptadd", 0.05}, {"manualptrmv", 0.05}, {"refereecall", 0.8},
    };
    for (const auto& sound : sounds) {
        SCOPED_TRACE(sound.name);
        const Wave wave = ReadWave(dir.filePath(QString::fromLatin1(sound.name) + QStringLiteral(".wav")));
        ASSERT_TRUE(wave.valid);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.rate, 44100);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_GE(wave.dataBytes / 2.0 / 44100.0, sound.minSeconds);
    }
}

} // namespace
