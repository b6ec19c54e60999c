#include "platform/Sound.h"

#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <vector>

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
        QSoundEffect* effect = playerOf(path);
        if (!effect)
            return;
        if (m_playing && m_playing != effect)
            m_playing->stop(); // one sound at a time
        effect->stop();
        effect->play();
        m_playing = effect;
    }
    void stop() override {
        if (m_playing)
            m_playing->stop();
    }

private:
    // A player per sound file, its sound loaded once: one player given each file in turn released the
    // loaded sound and waited for the loader thread at every point scored. The players are children of
    // the application object, so they go with it and never outlive what they need; a sound asked for
    // after that plays nothing. A court plays a handful of files; past kKept the longest unused goes.
    QSoundEffect* playerOf(const QString& path) {
        ++m_uses;
        for (Player& player : m_players)
            if (player.path == path && player.effect) {
                player.lastUse = m_uses;
                return player.effect;
            }
        if (!QCoreApplication::instance())
            return nullptr;
        std::erase_if(m_players, [](const Player& player) { return !player.effect; });
        if (m_players.size() >= kKept) {
            const auto oldest = std::ranges::min_element(m_players, {}, &Player::lastUse);
            if (oldest->effect == m_playing)
                m_playing = nullptr;
            delete oldest->effect.data();
            m_players.erase(oldest);
        }
        auto* effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(path));
        m_players.push_back(Player{path, effect, m_uses});
        return effect;
    }

    struct Player {
        QString path;
        QPointer<QSoundEffect> effect;
        std::uint64_t lastUse;
    };
    static constexpr std::size_t kKept = 16;
    std::vector<Player> m_players;
    QPointer<QSoundEffect> m_playing;
    std::uint64_t m_uses = 0;
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
