#pragma once

#include "platform/Instance.h"

#include <QLockFile>
#include <QString>
#include <memory>

namespace platform::linuxp {

// The single running instance: a lock file in the user's runtime folder, held for the life of
// this object. A lock left by a process that has died is taken over.
class LinuxInstance : public Instance {
public:
    /// `lockFile`: empty means Tavrel.lock in the user's runtime folder.
    explicit LinuxInstance(QString lockFile = {});
    ~LinuxInstance() override;

    bool claim() override;
    /// Gives the instance up (the lock file is removed).
    void release();
    QString lockFile() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace platform::linuxp
