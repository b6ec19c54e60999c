#include "platform/Sound.h"

#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace platform {
namespace {

class QtSoundSink final : public SoundSink {
public:
    void play(std::u16string_view absolutePath) override {
        const QString path =
            QString::fromUtf16(absolutePath.data(), static_cast<qsizetype>(absolutePath.size()));
        if (!QFileInfo::exists(path)) {
            OutputDebugString("sound file missing: " + path.toStdString());
            return;
        }
        // The player is a child of the application object, so it goes with the application and never
        // outlives what it needs; a sound asked for after that plays nothing.
        if (!m_effect && QCoreApplication::instance())
            m_effect = new QSoundEffect(QCoreApplication::instance());
        if (!m_effect)
            return;
        m_effect->stop();
        m_effect->setSource(QUrl::fromLocalFile(path));
        m_effect->play();
    }
    void stop() override {
        if (m_effect)
            m_effect->stop();
    }

private:
    QPointer<QSoundEffect> m_effect; // one channel
};

SoundSink* g_sink = nullptr;

SoundSink& defaultSink() {
    static QtSoundSink sink;
    return sink;
}

} // namespace

SoundSink* setSoundSink(SoundSink* sink) {
    SoundSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

} // namespace platform

void PlaySound(std::u16string_view absolutePath) {
    platform::SoundSink& sink = platform::g_sink ? *platform::g_sink : platform::defaultSink();
    if (absolutePath.empty())
        sink.stop();
    else
        sink.play(absolutePath);
}
