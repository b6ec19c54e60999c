#include "platform/Sound.h"

#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

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
        if (!m_effect)
            m_effect = std::make_unique<QSoundEffect>();
        m_effect->stop();
        m_effect->setSource(QUrl::fromLocalFile(path));
        m_effect->play();
    }
    void stop() override {
        if (m_effect)
            m_effect->stop();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect; // one channel
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
