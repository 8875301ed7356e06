#pragma once

#include "platform/Sound.h"

#include <chrono>

struct ca_context;

namespace platform::linuxp {

// Sounds through libcanberra (the desktop's sound server, or ALSA). Each call returns when
// the sound has finished, or at once, silently, when no sound can be played.
class LinuxSound : public Sound {
public:
    /// `longest`: a sound still playing after this long is cut off, so that the program never
    /// hangs on a sound server that does not answer.
    explicit LinuxSound(std::chrono::milliseconds longest = std::chrono::seconds(30));
    ~LinuxSound() override;
    LinuxSound(const LinuxSound&) = delete;
    LinuxSound& operator=(const LinuxSound&) = delete;

    bool play(const QString& file) override;
    /// The sound theme's bell.
    void playDefault() override;

private:
    bool playProperties(const char* key, const QByteArray& value);
    ca_context* context();

    ca_context* m_context = nullptr;
    std::chrono::milliseconds m_longest;
    std::uint32_t m_nextId = 1;
};

} // namespace platform::linuxp
