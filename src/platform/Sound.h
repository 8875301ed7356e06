#pragma once

#include <QString>

namespace platform {

class Sound {
public:
    virtual ~Sound() = default;
    /// Plays a sound file and returns when it has finished; false when it cannot be played.
    virtual bool play(const QString& file) = 0;
    /// Plays the system's default alert sound and returns when it has finished.
    virtual void playDefault() = 0;
};

} // namespace platform
