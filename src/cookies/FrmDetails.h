#pragma once

#include "controls/Simple.h"
#include "platform/ModalForm.h"

namespace platform {
class Dialogs;
}

namespace cookies {

// The cookie record the main window hands to the details dialog.
struct SelectedCookieRecord {
    QString Domain;
    QString Name;
    QString Value;
    QString Secure;
    QString Source;
};

// "Propriétés du Cookie": shows one cookie record and decodes its value on request. It
// changes nothing on disk and nothing in the lists; decoding replaces the held Value.
class FrmDetails : public controls::Form, public platform::ModalForm {
    Q_OBJECT
public:
    FrmDetails(SelectedCookieRecord& selected, platform::Dialogs& dialogs);

    controls::Form& form() override { return *this; }
    void load() override;
    bool closed() const override { return m_closed; }
    void requestClose() override { unload(); }

    /// The Escape key pressed in one of the dialog's controls.
    void escapePressed() { unload(); }
    void cmdDecode_Click();
    void cmdOK_Click() { unload(); }

    controls::Label Label1{this, "Label1", "Domaine :"};
    controls::TextBox txtWeb{this, "txtWeb"};
    controls::Label Label2{this, "Label2", "Nom :"};
    controls::TextBox txtName{this, "txtName"};
    controls::Label Label3{this, "Label3", "Valeur :"};
    controls::TextBox txtValue{this, "txtValue"};
    controls::Label Label4{this, "Label4", "Securite :"};
    controls::ComboBox coSTATE{this, "coSTATE"};
    controls::Label Label5{this, "Label5", "Source du Cookie :"};
    controls::TextBox txtSource{this, "txtSource"};
    controls::Button cmdDecode{this, "cmdDecode", "Decoder"};
    controls::Button cmdOK{this, "cmdOK", "&OK"};

private:
    void unload();

    SelectedCookieRecord& m_selected;
    platform::Dialogs& m_dialogs;
    bool m_closed = false;
};

} // namespace cookies
