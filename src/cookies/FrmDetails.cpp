#include "cookies/FrmDetails.h"

#include "cookies/CookieParser.h"
#include "platform/Dialogs.h"

namespace cookies {

FrmDetails::FrmDetails(SelectedCookieRecord& selected, platform::Dialogs& dialogs)
    : controls::Form(QStringLiteral("frmDetails"), QStringLiteral("Propriétés du Cookie")),
      m_selected(selected), m_dialogs(dialogs) {
    txtSource.setMultiLine(true);
    for (controls::TextBox* box : {&txtWeb, &txtName, &txtValue, &txtSource})
        box->onKeyPress = [this](QChar c) {
            if (c.unicode() == 27) {
                escapePressed();
                return false;
            }
            return true;
        };
    cmdDecode.onClick = [this] { cmdDecode_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
}

void FrmDetails::load() {
    m_closed = false;
    coSTATE.clear();
    coSTATE.addItem(QStringLiteral("True"));
    coSTATE.addItem(QStringLiteral("False"));
    txtWeb.setText(m_selected.Domain);
    txtName.setText(m_selected.Name);
    txtValue.setText(m_selected.Value);
    txtSource.setText(m_selected.Source + QStringLiteral("*\r\n"));
    if (m_selected.Secure == u"True")
        coSTATE.setCurrentIndex(0);
    else if (m_selected.Secure == u"False")
        coSTATE.setCurrentIndex(1);
    else
        coSTATE.setCurrentIndex(-1);
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
