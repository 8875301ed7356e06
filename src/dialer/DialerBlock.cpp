#include "dialer/DialerBlock.h"

#include "controls/Simple.h"

namespace dialer {

DialerBlock::DialerBlock(platform::Platform& platform, controls::CheckBox& blockSwitch)
    : m_p(platform), m_switch(blockSwitch) {}

QString DialerBlock::systemFolder() const {
    return platform::withTrailingSlash(m_p.system.systemFolder());
}

QString DialerBlock::addOnPath() const {
    return systemFolder() + QLatin1String(kAddOnFile);
}

void DialerBlock::set(int state) {
    auto& system = m_p.system;
    if (state == 1) {
        installAddOn();
        // The class is tried even when the installation failed; only its creation tells
        // whether the block works.
        if (!system.createComponent(QLatin1String(kClassName)))
            m_switch.setEnabled(false);
        return;
    }
    // Switching off removes the file only; the add-on's registration stays as it is.
    auto& files = m_p.files;
    const QString path = addOnPath();
    if (platform::FileExists(files, path))
        files.remove(path);
}

bool DialerBlock::installAddOn() {
    const QString path = addOnPath();
    if (platform::FileExists(m_p.files, path))
        return true;
    if (writeResourceFile(path, kResourceNumber, QLatin1String(kResourceType))) {
        // The result is not examined: a failed registration shows as a class that cannot
        // be created.
        m_p.system.selfRegister(QLatin1String(kAddOnFile));
        return true;
    }
    m_switch.setValue(0);
    m_switch.setEnabled(false);
    return false;
}

bool DialerBlock::writeResourceFile(const QString& path, int number, const QString& type) {
    const auto bytes = m_p.system.loadResource(number, type);
    if (!bytes)
        return false;
    auto& files = m_p.files;
    // The system folder is the program's own: make it when it is not there yet.
    files.makeFolder(m_p.system.systemFolder());
    return files.writeAll(path, *bytes) == platform::FileError::None;
}

} // namespace dialer
