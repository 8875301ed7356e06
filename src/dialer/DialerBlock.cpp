#include "dialer/DialerBlock.h"

#include "app/FrmMain.h"

namespace dialer {

DialerBlock::DialerBlock(app::FrmMain& form) : f(form) {
    // The switch's change rule belongs to the switches of the configuration tab; when they
    // have not given it one, it still has to drive the block.
    if (!f.dialerBlockSwitch.onClick)
        f.dialerBlockSwitch.onClick = [this] { SetDialerBlock(f.dialerBlockSwitch.value()); };
}

QString DialerBlock::GetSystemDir() const {
    return app::AddBackslash(f.platform().system.systemFolder());
}

QString DialerBlock::addOnPath() const {
    return GetSystemDir() + QLatin1String(kAddOnFile);
}

void DialerBlock::SetDialerBlock(int state) {
    auto& system = f.platform().system;
    if (state == 1) {
        InstallDialerAddOn();
        // The class is tried even when the installation failed; only its creation tells
        // whether the block works.
        if (!system.createComponent(QLatin1String(kClassName)))
            f.dialerBlockSwitch.setEnabled(false);
        return;
    }
    // Switching off removes the file only; the add-on's registration stays as it is.
    auto& files = f.platform().files;
    const QString path = addOnPath();
    if (platform::FileExists(files, path))
        files.remove(path);
}

bool DialerBlock::InstallDialerAddOn() {
    const QString path = addOnPath();
    if (platform::FileExists(f.platform().files, path))
        return true;
    if (WriteResourceFile(path, kResourceNumber, QLatin1String(kResourceType))) {
        // The result is not examined: a failed registration shows as a class that cannot
        // be created.
        f.platform().system.selfRegister(QLatin1String(kAddOnFile));
        return true;
    }
    f.dialerBlockSwitch.setValue(0);
    f.dialerBlockSwitch.setEnabled(false);
    return false;
}

bool DialerBlock::WriteResourceFile(const QString& path, int number, const QString& type) {
    const auto bytes = f.platform().system.loadResource(number, type);
    if (!bytes)
        return false;
    auto& files = f.platform().files;
    // The system folder is the program's own: make it when it is not there yet.
    files.makeFolder(f.platform().system.systemFolder());
    return files.writeAll(path, *bytes) == platform::FileError::None;
}

} // namespace dialer
