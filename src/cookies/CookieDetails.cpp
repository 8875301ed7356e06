#include "cookies/CookieDetails.h"

#include "cookies/CookieParser.h"
#include "platform/Dialogs.h"

namespace cookies {

CookieDetails::CookieDetails(SelectedCookieRecord& selected, platform::Dialogs& dialogs)
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
    decodeButton.onClick = [this] { decode(); };
    okButton.onClick = [this] { close(); };
}

void CookieDetails::load() {
    m_closed = false;
    secureBox.clear();
    secureBox.addItem(QStringLiteral("True"));
    secureBox.addItem(QStringLiteral("False"));
    domainBox.setText(m_selected.domain);
    nameBox.setText(m_selected.name);
    valueBox.setText(m_selected.value);
    sourceBox.setText(m_selected.source + QStringLiteral("*\r\n"));
    if (m_selected.secure == u"True")
        secureBox.setCurrentIndex(0);
    else if (m_selected.secure == u"False")
        secureBox.setCurrentIndex(1);
    else
        secureBox.setCurrentIndex(-1);
    setVisible(true);
}

void CookieDetails::decode() {
    const QString decoded = decodeValue(m_selected.value);
    m_dialogs.message(
        QStringLiteral(
            "Note: Prend effet uniquement si la valeur de la chaîne de caractères est.") +
            QStringLiteral("\r\n") + decoded,
        platform::MessageButtons::Ok, platform::MessageIcon::Information,
        QStringLiteral("Décodage de la chaîne de caractères :"));
}

void CookieDetails::unload() {
    m_closed = true;
    setVisible(false);
}

} // namespace cookies
