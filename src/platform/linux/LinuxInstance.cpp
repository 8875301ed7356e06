#include "platform/linux/LinuxInstance.h"

#include "platform/linux/LinuxPaths.h"

namespace platform::linuxp {

LinuxInstance::LinuxInstance(QString lockFile) : m_path(std::move(lockFile)) {
    if (m_path.isEmpty())
        m_path = userRuntimeFolder() + QStringLiteral("/Tavrel.lock");
}

LinuxInstance::~LinuxInstance() = default;

bool LinuxInstance::claim() {
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age, as Tavrel runs for days; a lock whose process has died is stale,
    // and tryLock takes it over.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

void LinuxInstance::release() {
    m_lock.reset();
}

} // namespace platform::linuxp
