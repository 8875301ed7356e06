#include "keywords/KeywordFile.h"

#include "app/FrmMain.h"
#include "keywords/TextItems.h"

#include <QRegularExpression>
#include <cmath>

namespace keywords {

namespace {
const QString kApp = QStringLiteral("Tavrel");
const QString kConfig = QStringLiteral("Config");
const QString kKeywordFileKey = QStringLiteral("NomFichMotCle");
} // namespace

KeywordFile::KeywordFile(app::FrmMain& form) : f(form) {
    f.chooseKeywordFileButton.onClick = [this] { Command21_Click(); };
}

void KeywordFile::setKeywordsReversed(const QStringList& items) {
    std::vector<controls::ListView::Row> rows;
    rows.reserve(items.size());
    for (auto it = items.crbegin(); it != items.crend(); ++it)
        rows.push_back({QStringList{*it}, false});
    f.keywordListView.setRows(std::move(rows));
}

void KeywordFile::Charge_Mot_Cle() {
    auto& p = f.platform();
    f.gKeywordFile = p.settings.value(kApp, kConfig, kKeywordFileKey).value_or(QString());
    if (f.gKeywordFile.isEmpty())
        f.gKeywordFile = f.programFile(QStringLiteral("ListeUrl.dat"));
    const QString toRead = platform::FileExists(p.files, f.gKeywordFile)
                               ? f.gKeywordFile
                               : f.programFile(QStringLiteral("ListeUrl.dat"));
    f.keywordFilePathLabel.setCaption(f.gKeywordFile);
    if (!platform::FileExists(p.files, toRead)) {
        p.dialogs.message(QStringLiteral("Pas de fichier mots clés !!!\rou fichier : ") + toRead +
                              QStringLiteral(" non trouvé"),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Atention"));
        f.keywordFilePathLabel.setCaption(QString());
        return;
    }
    const auto bytes = p.files.readAll(toRead);
    if (!bytes)
        return; // a read error ends the load without a message
    setKeywordsReversed(ItemReader(decodeText(*bytes)).all());
}

QString typedItem(const QString& item, bool quoted) {
    if (quoted)
        return item;
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(item).hasMatch())
        return item;
    bool ok = false;
    const double value = item.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return item;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

void KeywordFile::Command21_Click() {
    auto& p = f.platform();
    const auto chosen = p.dialogs.openFile(
        QStringLiteral("Choix d'un fichier mots clés (Fichier Hosts)"), p.files.programFolder(),
        QStringLiteral("Fichier mots clés (*.dat)|*.dat|Fichier Hosts (*.host)|*.host|"
                       "Fichier texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*"));
    if (!chosen || chosen->isEmpty())
        return;
    f.gKeywordFile = *chosen;
    f.keywordFilePathLabel.setCaption(f.gKeywordFile);
    p.settings.setValue(kApp, kConfig, kKeywordFileKey, f.gKeywordFile);
    if (!platform::FileExists(p.files, f.gKeywordFile))
        return;
    const auto bytes = p.files.readAll(f.gKeywordFile);
    if (!bytes) {
        p.dialogs.message(QStringLiteral("Erreur d'ouverture du fichier mots clés !"),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Erreur"));
        return;
    }
    ItemReader reader(decodeText(*bytes));
    QStringList items;
    while (!reader.atEnd()) {
        bool quoted = false;
        const QString item = reader.next(&quoted);
        items.append(typedItem(item, quoted));
    }
    setKeywordsReversed(items);
}

int KeywordFile::save(const QString& path, bool quoted) {
    QString text;
    for (const auto& row : f.keywordListView.rows()) {
        const QString kw = row.cells.value(0);
        text += quoted ? quotedLine(kw) : plainLine(kw);
    }
    return f.platform().files.writeAll(path, encodeText(text));
}

int KeywordFile::SaveKeywordList(const QString& path) {
    return save(path, false);
}

int KeywordFile::SaveKeywordListQuoted(const QString& path) {
    return save(path, true);
}

} // namespace keywords
