#pragma once

namespace platform {

class Instance {
public:
    virtual ~Instance() = default;
    /// Claims the single running instance; false when another instance already holds it.
    virtual bool claim() = 0;
};

} // namespace platform
