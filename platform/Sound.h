// Sounds: asynchronous playback of a wave file on one channel; a new sound cuts the one playing.
// A machine without audio plays nothing and goes on. UI thread only.
#pragma once

#include <string_view>

namespace platform {

// Where sounds go. The default plays through Qt Multimedia; tests install a recorder.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void play(std::u16string_view absolutePath) = 0;
    virtual void stop() = 0;
};

// Installs a sink (nullptr restores the default); returns the previous one. Not owned.
SoundSink* setSoundSink(SoundSink* sink);

} // namespace platform

// Plays the wave file at an absolute path; an empty path stops the sound playing.
void PlaySound(std::u16string_view absolutePath);
