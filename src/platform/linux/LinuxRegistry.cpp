#include "platform/linux/LinuxRegistry.h"

#include "platform/Files.h"
#include "platform/Logging.h"
#include "platform/TextCodec.h"
#include "platform/linux/AtomicSave.h"
#include "platform/linux/Autostart.h"
#include "platform/linux/LinuxPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>

namespace platform::linuxp {

namespace {

const QString kRunKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kShellFolders = QStringLiteral(
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
const QString kMsInfo =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

// A text value that reads back as the same text: valid UTF-8 ended by its only NUL.
bool isPlainText(const KeyTree::Value& v) {
    if ((v.type != REG_SZ && v.type != REG_EXPAND_SZ) || !v.data.endsWith('\0'))
        return false;
    const QByteArray body = v.data.chopped(1);
    return !body.contains('\0') && QString::fromUtf8(body).toUtf8() == body;
}

QJsonObject keyToJson(const KeyTree::Key& k) {
    QJsonArray values;
    for (const auto& [name, v] : k.values) {
        QJsonObject o{{QStringLiteral("name"), name}, {QStringLiteral("type"), qint64(v.type)}};
        if (isPlainText(v))
            o.insert(QStringLiteral("text"), QString::fromUtf8(v.data.chopped(1)));
        else
            o.insert(QStringLiteral("data"), QString::fromLatin1(v.data.toBase64()));
        values.append(o);
    }
    QJsonArray keys;
    for (const auto& c : k.children)
        keys.append(keyToJson(*c));
    return {{QStringLiteral("name"), k.name},
            {QStringLiteral("values"), values},
            {QStringLiteral("keys"), keys}};
}

// Rebuilds a key's values and subkeys; false when the object is not a key.
bool keyFromJson(const QJsonObject& o, KeyTree::Key& k) {
    if (!o.value(QStringLiteral("values")).isArray() && !o.value(QStringLiteral("keys")).isArray())
        return false;
    for (const QJsonValue& jv : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject vo = jv.toObject();
        const QString name = vo.value(QStringLiteral("name")).toString();
        if (k.value(name))
            continue;
        KeyTree::Value v;
        v.type = std::uint32_t(vo.value(QStringLiteral("type")).toInteger(REG_SZ));
        if (vo.contains(QStringLiteral("text")))
            v.data = KeyTree::textBytes(vo.value(QStringLiteral("text")).toString());
        else
            v.data = QByteArray::fromBase64(vo.value(QStringLiteral("data")).toString().toLatin1());
        k.values.emplace_back(name, v);
    }
    for (const QJsonValue& jc : o.value(QStringLiteral("keys")).toArray()) {
        const QJsonObject co = jc.toObject();
        const QString name = co.value(QStringLiteral("name")).toString();
        if (name.isEmpty() || name.contains(u'\\'))
            continue;
        KeyTree::Key* child = k.child(name);
        if (!child) {
            auto made = std::make_unique<KeyTree::Key>();
            made->name = name;
            made->parent = &k;
            child = made.get();
            k.children.push_back(std::move(made));
        }
        keyFromJson(co, *child);
    }
    return true;
}

QString findSysInfoProgram() {
    for (const char* name : {"hardinfo2", "hardinfo"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace

LinuxRegistry::Places LinuxRegistry::defaultPlaces() {
    const QString data = tavrelDataFolder();
    return {data + QStringLiteral("/keys.json"), defaultAutostartFile(),
            data + QStringLiteral("/Cookies"), findSysInfoProgram()};
}

LinuxRegistry::LinuxRegistry() : LinuxRegistry(defaultPlaces()) {}

LinuxRegistry::LinuxRegistry(Places places) : m_places(std::move(places)) {
    load();
    createKey(kRunKey);
    createKey(kShellFolders);
    if (!m_places.sysInfoProgram.isEmpty())
        createKey(kMsInfo);
    m_loading = false;
}

void LinuxRegistry::load() {
    removeStaleTemporaries(QFile::encodeName(m_places.treeFile));
    QFile in(m_places.treeFile);
    if (!QFileInfo(m_places.treeFile).isFile() || !in.open(QIODevice::ReadOnly))
        return; // nothing kept yet, or nothing readable: saving will tell
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(in.readAll(), &error);
    in.close();
    bool ok = error.error == QJsonParseError::NoError && doc.isObject();
    if (ok) {
        const QJsonArray roots = doc.object().value(QStringLiteral("roots")).toArray();
        for (const QJsonValue& r : roots) {
            const QJsonObject ro = r.toObject();
            for (const auto& [handle, root] : this->roots())
                if (sameName(ro.value(QStringLiteral("name")).toString(), root->name))
                    ok = keyFromJson(ro, *root) && ok;
        }
    }
    if (!ok) {
        // A damaged file is kept aside, beside those kept before: the tree starts empty.
        const QString aside = keepAside(m_places.treeFile, QStringLiteral("damaged"));
        qCWarning(platform::lcKeys, "damaged key tree %s kept as %s; starting empty",
                  qPrintable(m_places.treeFile), qPrintable(aside));
    }
}

bool LinuxRegistry::save() {
    QJsonArray roots;
    for (const auto& [handle, root] : this->roots())
        roots.append(keyToJson(*root));
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("roots"), roots}})
                                 .toJson(QJsonDocument::Indented);
    makePrivateFolder(QFile::encodeName(QFileInfo(m_places.treeFile).absolutePath()));
    if (saveFile(QFile::encodeName(m_places.treeFile), bytes) != FileError::None) {
        qCWarning(platform::lcKeys, "cannot save the key tree %s", qPrintable(m_places.treeFile));
        return false;
    }
    return true;
}

void LinuxRegistry::changed() {
    if (!m_loading && !save())
        m_saveFailed = true;
}

LinuxRegistry::Special LinuxRegistry::special(const Key& key, const QString& name) const {
    const QString path = key.path();
    if (sameName(path, kRunKey) && sameName(name, QStringLiteral("Tavrel")))
        return Special::StartEntry;
    if (sameName(path, kShellFolders) && sameName(name, QStringLiteral("Cookies")))
        return Special::CookieFolder;
    if (!m_places.sysInfoProgram.isEmpty() && sameName(path, kMsInfo) &&
        sameName(name, QStringLiteral("PATH")))
        return Special::SysInfo;
    return Special::None;
}

long LinuxRegistry::queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                               std::uint32_t* size) {
    const Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    QString text;
    switch (special(*k, name)) {
    case Special::None:
        return KeyTree::queryValue(key, name, type, data, size);
    case Special::StartEntry: {
        const std::optional<QString> program = readAutostartEntry(m_places.autostartFile);
        if (!program)
            return ERROR_FILE_NOT_FOUND;
        text = *program;
        break;
    }
    case Special::CookieFolder:
        makePrivateFolder(QFile::encodeName(m_places.cookieFolder));
        text = m_places.cookieFolder;
        break;
    case Special::SysInfo:
        text = m_places.sysInfoProgram;
        break;
    }
    return answerQuery(Value{REG_SZ, textBytes(text)}, type, data, size);
}

long LinuxRegistry::writeStartEntry(std::uint32_t type, const QByteArray& data) {
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_PARAMETER;
    QByteArray bytes = data;
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    QString program = platform::decodeText(bytes);
    // The program path is built the Windows way, with ".exe" after the name: start the
    // program that is really there.
    if (program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive) &&
        !QFileInfo::exists(program) && QFileInfo(program.chopped(4)).isExecutable())
        program.chop(4);
    return writeAutostartEntry(m_places.autostartFile, program) ? ERROR_SUCCESS
                                                                : ERROR_ACCESS_DENIED;
}

long LinuxRegistry::setValue(HKEY key, const QString& name, std::uint32_t type,
                             const QByteArray& data) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    switch (special(*k, name)) {
    case Special::StartEntry:
        return writeStartEntry(type, data);
    case Special::CookieFolder:
    case Special::SysInfo:
        return ERROR_ACCESS_DENIED;
    case Special::None:
        break;
    }
    std::optional<Value> before;
    if (const Value* v = k->value(name))
        before = *v;
    m_saveFailed = false;
    const long result = KeyTree::setValue(key, name, type, data);
    if (result != ERROR_SUCCESS || !m_saveFailed)
        return result;
    // Not saved: the tree stays as the file has it.
    if (before)
        *k->value(name) = *before;
    else
        k->values.erase(std::find_if(k->values.begin(), k->values.end(),
                                     [&](const auto& v) { return sameName(v.first, name); }));
    return ERROR_ACCESS_DENIED;
}

long LinuxRegistry::deleteValue(HKEY key, const QString& name) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    switch (special(*k, name)) {
    case Special::StartEntry:
        if (!QFileInfo::exists(m_places.autostartFile))
            return ERROR_FILE_NOT_FOUND;
        return QFile::remove(m_places.autostartFile) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    case Special::CookieFolder:
    case Special::SysInfo:
        return ERROR_ACCESS_DENIED;
    case Special::None:
        break;
    }
    const auto at = std::find_if(k->values.begin(), k->values.end(),
                                 [&](const auto& v) { return sameName(v.first, name); });
    if (at == k->values.end())
        return ERROR_FILE_NOT_FOUND;
    const auto position = at - k->values.begin();
    const auto removed = *at;
    m_saveFailed = false;
    const long result = KeyTree::deleteValue(key, name);
    if (result != ERROR_SUCCESS || !m_saveFailed)
        return result;
    k->values.insert(k->values.begin() + position, removed);
    return ERROR_ACCESS_DENIED;
}

} // namespace platform::linuxp
