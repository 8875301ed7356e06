#pragma once

#include "controls/Simple.h"
#include "platform/ModalForm.h"

namespace platform {
class Dialogs;
}

namespace cookies {

// The cookie record the main window hands to the details dialog.
struct SelectedCookieRecord {
    QString domain;
    QString name;
    QString value;
    QString secure;
    QString source;
};

// "Propriétés du Cookie": shows one cookie record and decodes its value on request. It
// changes nothing on disk and nothing in the lists; decoding replaces the held Value.
class CookieDetails : public controls::Form, public platform::ModalForm {
    Q_OBJECT
public:
    CookieDetails(SelectedCookieRecord& selected, platform::Dialogs& dialogs);

    controls::Form& form() override { return *this; }
    void load() override;
    bool closed() const override { return m_closed; }
    void requestClose() override { unload(); }

    /// The Escape key pressed in one of the dialog's controls.
    void escapePressed() { unload(); }
    void decode();
    void close() { unload(); }

    controls::Label domainLabel{this, "Label1", "Domaine :"};
    controls::TextBox domainBox{this, "txtWeb"};
    controls::Label nameLabel{this, "Label2", "Nom :"};
    controls::TextBox nameBox{this, "txtName"};
    controls::Label valueLabel{this, "Label3", "Valeur :"};
    controls::TextBox valueBox{this, "txtValue"};
    controls::Label secureLabel{this, "Label4", "Securite :"};
    controls::ComboBox secureBox{this, "coSTATE"};
    controls::Label sourceLabel{this, "Label5", "Source du Cookie :"};
    controls::TextBox sourceBox{this, "txtSource"};
    controls::Button decodeButton{this, "cmdDecode", "Decoder"};
    controls::Button okButton{this, "cmdOK", "&OK"};

private:
    void unload();

    SelectedCookieRecord& m_selected;
    platform::Dialogs& m_dialogs;
    bool m_closed = false;
};

} // namespace cookies
