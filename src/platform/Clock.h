#pragma once

#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    /// The current local date and time.
    virtual QDateTime now() const = 0;
};

} // namespace platform
