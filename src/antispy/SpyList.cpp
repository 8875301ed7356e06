#include "antispy/SpyList.h"

#include "controls/ListView.h"
#include "controls/Simple.h"
#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

namespace antispy {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

SpyList::SpyList(platform::Platform& platform, Controls controls) : m_p(platform), m_c(controls) {}

const QStringList& SpyList::defaultEntries() {
    // "NewsUpd.ex" is the name as it has always been listed; keep it so.
    static const QStringList entries{QStringLiteral("tsadbot.exe"),
                                     QStringLiteral("ADVERT.DLL"),
                                     QStringLiteral("dssagent.exe"),
                                     QStringLiteral("MSBB.EXE"),
                                     QStringLiteral("NewsUpd.ex"),
                                     QStringLiteral("fsg.exe"),
                                     QStringLiteral("fsg-ag.exe"),
                                     QStringLiteral("WNAD.EXE"),
                                     QStringLiteral("FTAPP.DLL"),
                                     QStringLiteral("dlder.exe"),
                                     QStringLiteral("ADP.EXE"),
                                     QStringLiteral("BARGAINS.EXE"),
                                     QStringLiteral("bdeviewer.exe"),
                                     QStringLiteral("adshow.exe"),
                                     QStringLiteral("HXIUL.EXE"),
                                     QStringLiteral("GMT.exe"),
                                     QStringLiteral("CMESys.exe"),
                                     QStringLiteral("GAIN_TRICKLER_*.EXE"),
                                     QStringLiteral("NE.EXE"),
                                     QStringLiteral("dw.exe"),
                                     QStringLiteral("ofrg.dll"),
                                     QStringLiteral("ctbclick.exe"),
                                     QStringLiteral("Download_Plugin.exe"),
                                     QStringLiteral("openme.exe"),
                                     QStringLiteral("NETBUIE.EXE"),
                                     QStringLiteral("plg_ie0.dll"),
                                     QStringLiteral("ftp_back.exe"),
                                     QStringLiteral("kvnab.dll"),
                                     QStringLiteral("BMupdate.exe"),
                                     QStringLiteral("pbsysie.dll"),
                                     QStringLiteral("Floid.dll"),
                                     QStringLiteral("wbeCheck.exe"),
                                     QStringLiteral("Tgdc.exe"),
                                     QStringLiteral("winservs.exe"),
                                     QStringLiteral("sear1.exe"),
                                     QStringLiteral("winservn.exe"),
                                     QStringLiteral("OTMS.EXE"),
                                     QStringLiteral("winservc.exe"),
                                     QStringLiteral("istabm.exe"),
                                     QStringLiteral("bm_insta.exe"),
                                     QStringLiteral("attnvg.exe"),
                                     QStringLiteral("createsw.exe"),
                                     QStringLiteral("driverpg.exe"),
                                     QStringLiteral("*.jse"),
                                     QStringLiteral("gshp.vbs"),
                                     QStringLiteral("gsc0.txt"),
                                     QStringLiteral("gsc1.txt"),
                                     QStringLiteral("WINSYS.VBS"),
                                     QStringLiteral("WINSYS.VBA"),
                                     QStringLiteral("win0.txt"),
                                     QStringLiteral("win1.txt"),
                                     QStringLiteral("MSIETS.DLL"),
                                     QStringLiteral("DLGLI.EXE"),
                                     QStringLiteral("Ausvc.exe"),
                                     QStringLiteral("Bvt.exe"),
                                     QStringLiteral("Mnsvc.exe"),
                                     QStringLiteral("Absr.exe"),
                                     QStringLiteral("ucmie.dll"),
                                     QStringLiteral("freeaccess.exe"),
                                     QStringLiteral("sentry.exe"),
                                     QStringLiteral("sentrystub.exe"),
                                     QStringLiteral("ipinsigt.dll"),
                                     QStringLiteral("EXPLORER.SCR"),
                                     QStringLiteral("Load.exe"),
                                     QStringLiteral("RPCSS.EXE")};
    return entries;
}

QString SpyList::listFile() const {
    return platform::programFile(m_p.files, QStringLiteral("ListeSpy.dat"));
}

void SpyList::loadAtStartup() {
    auto& files = m_p.files;
    const QString path = listFile();
    if (platform::FileExists(files, path)) {
        // The file decides, even when it is empty. A file that cannot be read leaves the
        // list empty; the search then refuses to run and says why.
        if (const auto bytes = files.readAll(path)) {
            keywords::ItemReader reader(platform::decodeText(*bytes));
            while (!reader.atEnd())
                m_c.names.addItem(reader.next());
        }
    } else {
        for (const QString& entry : defaultEntries())
            m_c.names.addItem(entry);
    }
    m_c.addButton.setEnabled(false);
    m_c.deleteButton.setEnabled(false);
}

void SpyList::nameBoxChanged() {
    m_c.addButton.setEnabled(!m_c.nameBox.text().isEmpty());
}

void SpyList::nameBoxLeft() {
    m_c.nameBox.setText(m_c.nameBox.text().toUpper());
}

void SpyList::addTypedName() {
    const QString typed = m_c.nameBox.text();
    const QString asExtension = QStringLiteral("*.") + typed;
    for (const QString& entry : m_c.names.items()) {
        if (entry == asExtension) {
            m_p.dialogs.message(QStringLiteral("Duplication de filtres."), MessageButtons::Ok,
                                MessageIcon::None, QString());
            m_c.nameBox.setText(QString());
            return;
        }
    }
    m_c.names.addItem(typed);
    m_c.nameBox.setText(QString());
}

void SpyList::listClicked() {
    m_c.deleteButton.setEnabled(m_c.names.firstSelected() >= 0);
}

void SpyList::deleteSelected() {
    if (m_c.names.count() == 1) {
        const MessageAnswer answer = m_p.dialogs.message(
            QStringLiteral("Vous ne pourrez pas rechercher sans au moins un filtre ; Supprimer "
                           "tout de même ?"),
            MessageButtons::YesNo, MessageIcon::Information, QStringLiteral("Tavrel"));
        if (answer != MessageAnswer::Yes)
            return;
    }
    m_c.names.removeItem(m_c.names.firstSelected());
    m_c.deleteButton.setEnabled(false);
}

void SpyList::save() {
    QString text;
    for (const QString& entry : m_c.names.items())
        text += keywords::plainLine(entry);
    const QString path = listFile();
    if (m_p.files.writeAll(path, platform::encodeText(text)) != platform::FileError::None) {
        // The previous file, if any, is left whole; the user must know the list is not saved.
        m_p.dialogs.message(
            QStringLiteral("Impossible d'enregistrer la liste des Spywares connus : ") + path,
            MessageButtons::Ok, MessageIcon::Warning, QStringLiteral("Erreur"));
    }
}

} // namespace antispy
