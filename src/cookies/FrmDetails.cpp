#include "cookies/FrmDetails.h"

#include "cookies/CookieParser.h"
#include "platform/Dialogs.h"

namespace cookies {

FrmDetails::FrmDetails(SelectedCookieRecord& selected, platform::Dialogs& dialogs)
    : controls::Form(QStringLiteral("frmDetails"), QStringLiteral("Propriétés du Cookie")),
      m_selected(selected), m_dialogs(dialogs) {
    sourceBox.setMultiLine(true);
    for (controls::TextBox* box : {&domainBox, &nameBox, &valueBox, &sourceBox})
        box->onKeyPress = [this](QChar c) {
            if (c.unicode() == 27) {
                escapePressed();
                return false;
            }
            return true;
        };
    decodeButton.onClick = [this] { cmdDecode_Click(); };
    okButton.onClick = [this] { cmdOK_Click(); };
}

void FrmDetails::load() {
    m_closed = false;
    secureBox.clear();
    secureBox.addItem(QStringLiteral("True"));
    secureBox.addItem(QStringLiteral("False"));
    domainBox.setText(m_selected.Domain);
    nameBox.setText(m_selected.Name);
    valueBox.setText(m_selected.Value);
    sourceBox.setText(m_selected.Source + QStringLiteral("*\r\n"));
    if (m_selected.Secure == u"True")
        secureBox.setCurrentIndex(0);
    else if (m_selected.Secure == u"False")
        secureBox.setCurrentIndex(1);
    else
        secureBox.setCurrentIndex(-1);
    setVisible(true);
}

void FrmDetails::cmdDecode_Click() {
    const QString decoded = Try_Decode(m_selected.Value);
    m_dialogs.message(
        QStringLiteral(
            "Note: Prend effet uniquement si la valeur de la chaîne de caractères est.") +
            QStringLiteral("\r\n") + decoded,
        platform::MessageButtons::Ok, platform::MessageIcon::Information,
        QStringLiteral("Décodage de la chaîne de caractères :"));
}

void FrmDetails::unload() {
    m_closed = true;
    setVisible(false);
}

} // namespace cookies
