#include "keywords/ListImport.h"

#include <QSet>
#include <QTimer>
#include <algorithm>

namespace keywords {

namespace {
const QString kTitle = QStringLiteral("Importer une liste");
} // namespace

ListImport::ListImport(platform::Files& files, platform::Dialogs& dialogs, KeywordList& keywords,
                       StatisticsFile& statistics)
    : m_files(files), m_dialogs(dialogs), m_keywords(keywords), m_statistics(statistics) {}

void ListImport::tell(const QString& text, platform::MessageIcon icon) {
    m_dialogs.message(text, platform::MessageButtons::Ok, icon, kTitle);
}

void ListImport::chooseAndImport() {
    // An import still under way is ended first: the lists are imported in the order chosen.
    complete();
    const auto chosen = m_dialogs.openFile(
        kTitle, m_files.programFolder(),
        QStringLiteral("Listes de filtres et fichiers hosts (*.txt;*.hosts;*.host;*.dat;*.list)|"
                       "*.txt;*.hosts;*.host;*.dat;*.list|Tous les fichiers (*.*)|*.*"));
    if (!chosen || chosen->isEmpty())
        return;
    const auto bytes = m_files.readAll(*chosen);
    if (!bytes) {
        tell(QStringLiteral("Impossible de lire le fichier :\r") + *chosen,
             platform::MessageIcon::Warning);
        return;
    }
    if (bytes->size() <= BackgroundWork::kLargeInput) {
        told(*chosen, importBytes(*bytes));
        return;
    }
    // A long list is read away from the interface thread; its entries are then added a
    // slice at a time, the event loop running between two slices.
    m_reading.run<std::optional<Read>>([content = *bytes] { return read(content); },
                                       [this, path = *chosen](std::optional<Read> r) {
                                           if (!r)
                                               return told(path, std::nullopt);
                                           Pending p;
                                           p.soFar.ignored = r->ignored;
                                           p.read = std::make_shared<const Read>(*std::move(r));
                                           p.path = path;
                                           m_pending = std::move(p);
                                           addSlice(true);
                                       });
}

bool ListImport::importing() const {
    return m_reading.busy() || m_pending.has_value();
}

void ListImport::complete() {
    m_reading.finish();
    while (m_pending)
        addSlice(false);
}

void ListImport::addSlice(bool thenNext) {
    constexpr qsizetype kSlice = 4096;
    Pending& p = *m_pending;
    const qsizetype to = std::min(p.next + kSlice, p.read->entries.size());
    const Result slice = add(*p.read, p.next, to);
    p.soFar.added += slice.added;
    p.soFar.ignored += slice.ignored;
    p.next = to;
    if (to == p.read->entries.size()) {
        const Pending done = *std::move(m_pending);
        m_pending.reset();
        return told(done.path, done.soFar);
    }
    if (!thenNext)
        return;
    const quint64 serial = ++m_sliceSerial;
    QTimer::singleShot(0, &m_reading, [this, serial] {
        // Nothing to do when the import was completed at once meanwhile.
        if (m_pending && serial == m_sliceSerial)
            addSlice(true);
    });
}

void ListImport::told(const QString& path, const std::optional<Result>& result) {
    if (!result) {
        tell(QStringLiteral("Ce fichier n'est pas un fichier texte :\r") + path +
                 QStringLiteral("\rAucun mot clé n'a été ajouté."),
             platform::MessageIcon::Warning);
        return;
    }
    tell(
        QStringLiteral("%1 mots clés ajoutés, %2 ignorés.").arg(result->added).arg(result->ignored),
        platform::MessageIcon::Information);
}

namespace {

// The entries in their order, lower-cased as the scans compare keywords, each once.
ListImport::Read onceEach(const FilterListEntries& list) {
    ListImport::Read r;
    r.ignored = list.skipped;
    QSet<QString> seen;
    seen.reserve(qsizetype(list.entries.size()));
    for (const QString& entry : list.entries) {
        QString lowered = entry.toLower();
        if (seen.contains(lowered)) {
            ++r.ignored;
            continue;
        }
        seen.insert(lowered);
        r.entries.append(entry);
        r.lowered.append(std::move(lowered));
    }
    return r;
}

} // namespace

std::optional<ListImport::Read> ListImport::read(const QByteArray& bytes) {
    const auto text = filterListText(bytes);
    if (!text)
        return std::nullopt;
    return onceEach(readFilterList(*text));
}

std::optional<ListImport::Result> ListImport::importBytes(const QByteArray& bytes) {
    const auto r = read(bytes);
    if (!r)
        return std::nullopt;
    return add(*r);
}

ListImport::Result ListImport::add(const FilterListEntries& list) {
    return add(onceEach(list));
}

ListImport::Result ListImport::add(const Read& read) {
    Result result = add(read, 0, read.entries.size());
    result.ignored += read.ignored;
    return result;
}

ListImport::Result ListImport::add(const Read& read, qsizetype from, qsizetype to) {
    // A keyword file being read replaces the list first: entries are compared with its words.
    m_keywords.settle();
    Result result;
    QStringList added;
    for (qsizetype i = from; i < to; ++i) {
        if (m_keywords.indexOfLowered(read.lowered.at(i)) >= 0) {
            ++result.ignored;
            continue;
        }
        added.append(read.entries.at(i));
    }
    result.added = int(added.size());
    if (!added.isEmpty()) {
        m_keywords.append(added);
        m_statistics.appendRecords(added);
    }
    return result;
}

} // namespace keywords
