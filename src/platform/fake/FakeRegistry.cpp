#include "platform/fake/FakeRegistry.h"

#include "keywords/TextItems.h"
#include "platform/fake/Transcript.h"

#include <algorithm>

namespace platform::fake {

namespace {
const std::pair<HKEY, const char*> kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                                               {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                               {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}};
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

FakeRegistry::Key* FakeRegistry::Key::child(const QString& n) const {
    for (const auto& c : children)
        if (sameName(c->name, n))
            return c.get();
    return nullptr;
}

FakeRegistry::Value* FakeRegistry::Key::value(const QString& n) {
    for (auto& [name, v] : values)
        if (sameName(name, n))
            return &v;
    return nullptr;
}

QString FakeRegistry::Key::path() const {
    return parent ? parent->path() + u'\\' + name : name;
}

FakeRegistry::FakeRegistry() {
    for (const auto& [h, name] : kRoots) {
        auto k = std::make_unique<Key>();
        k->name = QString::fromLatin1(name);
        m_roots.emplace(h, std::move(k));
    }
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Key* FakeRegistry::keyOf(HKEY key) const {
    if (auto r = m_roots.find(key); r != m_roots.end())
        return r->second.get();
    if (auto h = m_handles.find(key); h != m_handles.end())
        return h->second;
    return nullptr;
}

FakeRegistry::Key* FakeRegistry::walk(Key* from, const QString& subKey, bool create) const {
    Key* k = from;
    for (const QString& part : subKey.split(u'\\', Qt::SkipEmptyParts)) {
        Key* next = k->child(part);
        if (!next) {
            if (!create)
                return nullptr;
            auto made = std::make_unique<Key>();
            made->name = part;
            made->parent = k;
            next = made.get();
            k->children.push_back(std::move(made));
        }
        k = next;
    }
    return k;
}

FakeRegistry::Key* FakeRegistry::find(const QString& path) const {
    const qsizetype slash = path.indexOf(u'\\');
    const QString root = slash < 0 ? path : path.left(slash);
    for (const auto& [h, name] : kRoots)
        if (sameName(root, QString::fromLatin1(name)))
            return walk(m_roots.at(h).get(), slash < 0 ? QString() : path.mid(slash + 1), false);
    return nullptr;
}

long FakeRegistry::openKey(HKEY key, const QString& subKey, std::uint32_t, HKEY* result) {
    Key* from = keyOf(key);
    if (!from)
        return ERROR_INVALID_HANDLE;
    Key* k = walk(from, subKey, false);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    for (const QString& denied : deniedKeys)
        if (sameName(denied, k->path()))
            return ERROR_ACCESS_DENIED;
    const HKEY h = m_nextHandle++;
    m_handles.emplace(h, k);
    *result = h;
    return ERROR_SUCCESS;
}

long FakeRegistry::queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                              std::uint32_t* size) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    Value* v = k->value(name);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    const auto length = std::uint32_t(v->data.size());
    if (!data) {
        if (size)
            *size = length;
        return ERROR_SUCCESS;
    }
    const std::uint32_t room = size ? *size : 0;
    if (size)
        *size = length;
    if (room < length)
        return ERROR_MORE_DATA;
    *data = v->data;
    return ERROR_SUCCESS;
}

long FakeRegistry::setValue(HKEY key, const QString& name, std::uint32_t type,
                            const QByteArray& data) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    if (Value* v = k->value(name))
        *v = Value{type, data};
    else
        k->values.emplace_back(name, Value{type, data});
    return ERROR_SUCCESS;
}

long FakeRegistry::deleteValue(HKEY key, const QString& name) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const auto& v) { return sameName(v.first, name); });
    if (it == k->values.end())
        return ERROR_FILE_NOT_FOUND;
    k->values.erase(it);
    return ERROR_SUCCESS;
}

long FakeRegistry::enumKey(HKEY key, std::uint32_t index, QString* name,
                           std::uint32_t bufferChars) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    if (index >= k->children.size())
        return ERROR_NO_MORE_ITEMS;
    const QString& n = k->children[index]->name;
    if (std::uint32_t(n.size()) + 1 > bufferChars)
        return ERROR_MORE_DATA;
    *name = n;
    return ERROR_SUCCESS;
}

long FakeRegistry::closeKey(HKEY key) {
    if (m_roots.count(key))
        return ERROR_SUCCESS;
    return m_handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

QString FakeRegistry::formatMessage(long code) const {
    switch (code) {
    case ERROR_SUCCESS:
        return QStringLiteral("L'opération a réussi.");
    case ERROR_FILE_NOT_FOUND:
        return QStringLiteral("Le fichier spécifié est introuvable.");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("Accès refusé.");
    case ERROR_INVALID_HANDLE:
        return QStringLiteral("Descripteur non valide.");
    default:
        return QStringLiteral("Erreur %1.").arg(code);
    }
}

bool FakeRegistry::createKey(const QString& path) {
    const qsizetype slash = path.indexOf(u'\\');
    const QString root = slash < 0 ? path : path.left(slash);
    for (const auto& [h, name] : kRoots)
        if (sameName(root, QString::fromLatin1(name)))
            return walk(m_roots.at(h).get(), slash < 0 ? QString() : path.mid(slash + 1), true);
    return false;
}

bool FakeRegistry::setText(const QString& path, const QString& name, const QString& text) {
    if (!createKey(path))
        return false;
    Key* k = find(path);
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    if (Value* v = k->value(name))
        *v = Value{REG_SZ, bytes};
    else
        k->values.emplace_back(name, Value{REG_SZ, bytes});
    return true;
}

bool FakeRegistry::setNumber(const QString& path, const QString& name, std::uint32_t number) {
    if (!createKey(path))
        return false;
    Key* k = find(path);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((number >> (8 * i)) & 0xFF);
    if (Value* v = k->value(name))
        *v = Value{REG_DWORD, bytes};
    else
        k->values.emplace_back(name, Value{REG_DWORD, bytes});
    return true;
}

QStringList FakeRegistry::dump(const QString& path) const {
    QStringList lines;
    Key* top = find(path);
    if (!top)
        return lines;
    std::function<void(const Key*)> visit = [&](const Key* k) {
        for (const auto& [name, v] : k->values) {
            QString shown;
            if (v.type == REG_DWORD && v.data.size() == 4) {
                std::uint32_t n = 0;
                for (int i = 3; i >= 0; --i)
                    n = (n << 8) | std::uint8_t(v.data[i]);
                shown = QString::number(n);
            } else {
                QByteArray bytes = v.data;
                if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
                    bytes.truncate(nul);
                // Texts are stored in the program's file encoding (Windows-1252 when every
                // character fits), so they are shown through the same reading rule.
                shown = quote(keywords::decodeText(bytes));
            }
            lines.append(k->path() + u'\\' + name + QStringLiteral(" = ") + shown);
        }
        for (const auto& c : k->children)
            visit(c.get());
    };
    visit(top);
    lines.sort();
    return lines;
}

} // namespace platform::fake
