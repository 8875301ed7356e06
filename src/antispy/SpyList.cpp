#include "antispy/SpyList.h"

#include "app/FrmMain.h"
#include "keywords/TextItems.h"

namespace antispy {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

SpyList::SpyList(app::FrmMain& form) : f(form) {
    f.addSpyNameButton.setToolTip(QStringLiteral("Ajouter un fichier à la liste"));
    f.deleteSpyNameButton.setToolTip(QStringLiteral("Supprimer le fichier de la liste"));
    f.saveSpyNamesButton.setToolTip(QStringLiteral("Enregistrer la liste des Spywares connus"));
    f.spyNameBox.onChange = [this] { txtFilter_Change(); };
    f.spyNameBox.onLostFocus = [this] { txtFilter_LostFocus(); };
    f.addSpyNameButton.onClick = [this] { cmdAddFilter_Click(); };
    f.spyNameList.onClick = [this] { lstFilters_Click(); };
    f.deleteSpyNameButton.onClick = [this] { cmdDeleteFilter_Click(); };
    f.saveSpyNamesButton.onClick = [this] { Command4_Click(); };
}

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

void SpyList::LoadDefaultSpywareList(controls::ListBox& list) {
    for (const QString& entry : defaultEntries())
        list.addItem(entry);
}

QString SpyList::listFile() const {
    return f.programFile(QStringLiteral("ListeSpy.dat"));
}

void SpyList::loadAtStartup() {
    auto& files = f.platform().files;
    const QString path = listFile();
    if (platform::FileExists(files, path)) {
        // The file decides, even when it is empty. A file that cannot be read leaves the
        // list empty; the search then refuses to run and says why.
        if (const auto bytes = files.readAll(path)) {
            keywords::ItemReader reader(keywords::decodeText(*bytes));
            while (!reader.atEnd())
                f.spyNameList.addItem(reader.next());
        }
    } else {
        LoadDefaultSpywareList(f.spyNameList);
    }
    f.addSpyNameButton.setEnabled(false);
    f.deleteSpyNameButton.setEnabled(false);
}

void SpyList::txtFilter_Change() {
    f.addSpyNameButton.setEnabled(!f.spyNameBox.text().isEmpty());
}

void SpyList::txtFilter_LostFocus() {
    f.spyNameBox.setText(f.spyNameBox.text().toUpper());
}

void SpyList::cmdAddFilter_Click() {
    const QString typed = f.spyNameBox.text();
    const QString asExtension = QStringLiteral("*.") + typed;
    for (const QString& entry : f.spyNameList.items()) {
        if (entry == asExtension) {
            f.platform().dialogs.message(QStringLiteral("Duplication de filtres."),
                                         MessageButtons::Ok, MessageIcon::None, QString());
            f.spyNameBox.setText(QString());
            return;
        }
    }
    f.spyNameList.addItem(typed);
    f.spyNameBox.setText(QString());
}

void SpyList::lstFilters_Click() {
    f.deleteSpyNameButton.setEnabled(f.spyNameList.firstSelected() >= 0);
}

void SpyList::cmdDeleteFilter_Click() {
    if (f.spyNameList.count() == 1) {
        const MessageAnswer answer = f.platform().dialogs.message(
            QStringLiteral("Vous ne pourrez pas rechercher sans au moins un filtre ; Supprimer "
                           "tout de même ?"),
            MessageButtons::YesNo, MessageIcon::Information, QStringLiteral("Tavrel"));
        if (answer != MessageAnswer::Yes)
            return;
    }
    f.spyNameList.removeItem(f.spyNameList.firstSelected());
    f.deleteSpyNameButton.setEnabled(false);
}

void SpyList::Command4_Click() {
    QString text;
    for (const QString& entry : f.spyNameList.items())
        text += keywords::plainLine(entry);
    auto& files = f.platform().files;
    const QString path = listFile();
    if (files.writeAll(path, keywords::encodeText(text)) != platform::FileError::None) {
        // The previous file, if any, is left whole; the user must know the list is not saved.
        f.platform().dialogs.message(
            QStringLiteral("Impossible d'enregistrer la liste des Spywares connus : ") + path,
            MessageButtons::Ok, MessageIcon::Warning, QStringLiteral("Erreur"));
    }
}

} // namespace antispy
