#pragma once

#include "controls/Simple.h"
#include "platform/ModalForm.h"
#include "platform/Registry.h"

#include <QString>

#include "platform/Platform.h"

namespace about {

// The About box: title, version, contact lines, three links, the details message and the
// system information launcher. Shown modally; `okButton` or a close request unloads it.
class AboutBox : public controls::Form, public platform::ModalForm {
    Q_OBJECT
public:
    explicit AboutBox(platform::Platform& platform);

    controls::Form& form() override { return *this; }
    void load() override;
    bool closed() const override { return m_closed; }
    void requestClose() override;

    /// The details message, its lines joined by CR.
    static QString detailsText();
    /// Starts the system information tool, or says it cannot be found.
    void startSystemInfo();

    controls::Label titleLabel{this, "lblTitle"};
    controls::Label versionLabel{this, "lblVersion"};
    controls::Label descriptionLabel{this, "lblDescription"};
    controls::Label contactLabel{this, "Label2"};
    // The two link lines react to a click; the control models have no clickable label, so
    // they are buttons drawn as links.
    controls::Button disclaimerLink{this, "lblDisclaimer"};
    controls::Button siteLink{this, "Label3"};
    controls::Picture logoPicture{this, "Image2"};
    controls::Picture iconPicture{this, "Image1"};
    controls::Button detailsButton{this, "Command1", "Détails..."};
    controls::Button systemInfoButton{this, "cmdSysInfo", "&Système Info..."};
    controls::Button okButton{this, "cmdOK", "OK"};

private:
    void unload();
    platform::Platform& m_p;
    bool m_closed = false;
};

/// Reads the text value `subKeyRef` of the key `keyName` under `keyRoot` into `keyVal`; false
/// (and an empty text) when the key or the value cannot be read.
bool readKeyValue(platform::Registry& registry, platform::HKEY keyRoot, const QString& keyName,
                  const QString& subKeyRef, QString& keyVal);

/// Opens the About box modally over the main window.
void openAbout(platform::Platform& platform);

} // namespace about
