#include "platform/common/KeyTree.h"

#include <algorithm>

namespace platform {

namespace {
const std::pair<HKEY, const char*> kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                                               {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                               {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}};
} // namespace

bool KeyTree::sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

KeyTree::Key* KeyTree::Key::child(const QString& n) const {
    for (const auto& c : children)
        if (sameName(c->name, n))
            return c.get();
    return nullptr;
}

KeyTree::Value* KeyTree::Key::value(const QString& n) {
    for (auto& [valueName, v] : values)
        if (sameName(valueName, n))
            return &v;
    return nullptr;
}

QString KeyTree::Key::path() const {
    return parent ? parent->path() + u'\\' + name : name;
}

KeyTree::KeyTree() {
    for (const auto& [h, name] : kRoots) {
        auto k = std::make_unique<Key>();
        k->name = QString::fromLatin1(name);
        m_roots.emplace(h, std::move(k));
    }
}

KeyTree::~KeyTree() = default;

std::vector<std::pair<HKEY, KeyTree::Key*>> KeyTree::roots() const {
    std::vector<std::pair<HKEY, Key*>> out;
    for (const auto& [h, name] : kRoots)
        out.emplace_back(h, m_roots.at(h).get());
    return out;
}

KeyTree::Key* KeyTree::keyOf(HKEY key) const {
    if (auto r = m_roots.find(key); r != m_roots.end())
        return r->second.get();
    if (auto h = m_handles.find(key); h != m_handles.end())
        return h->second;
    return nullptr;
}

KeyTree::Key* KeyTree::walk(Key* from, const QString& subKey, bool create) const {
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

KeyTree::Key* KeyTree::find(const QString& path) const {
    const qsizetype slash = path.indexOf(u'\\');
    const QString root = slash < 0 ? path : path.left(slash);
    for (const auto& [h, name] : kRoots)
        if (sameName(root, QString::fromLatin1(name)))
            return walk(m_roots.at(h).get(), slash < 0 ? QString() : path.mid(slash + 1), false);
    return nullptr;
}

long KeyTree::openKey(HKEY key, const QString& subKey, std::uint32_t, HKEY* result) {
    Key* from = keyOf(key);
    if (!from)
        return ERROR_INVALID_HANDLE;
    Key* k = walk(from, subKey, false);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    if (const long refused = mayOpen(*k); refused != ERROR_SUCCESS)
        return refused;
    const HKEY h = m_nextHandle++;
    m_handles.emplace(h, k);
    *result = h;
    return ERROR_SUCCESS;
}

long KeyTree::answerQuery(const Value& v, std::uint32_t* type, QByteArray* data,
                          std::uint32_t* size) {
    if (type)
        *type = v.type;
    const auto length = std::uint32_t(v.data.size());
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
    *data = v.data;
    return ERROR_SUCCESS;
}

long KeyTree::queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                         std::uint32_t* size) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    Value* v = k->value(name);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    return answerQuery(*v, type, data, size);
}

void KeyTree::put(Key* k, const QString& name, Value v) {
    if (Value* old = k->value(name))
        *old = std::move(v);
    else
        k->values.emplace_back(name, std::move(v));
}

long KeyTree::setValue(HKEY key, const QString& name, std::uint32_t type, const QByteArray& data) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    put(k, name, Value{type, data});
    changed();
    return ERROR_SUCCESS;
}

long KeyTree::deleteValue(HKEY key, const QString& name) {
    Key* k = keyOf(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const auto& v) { return sameName(v.first, name); });
    if (it == k->values.end())
        return ERROR_FILE_NOT_FOUND;
    k->values.erase(it);
    changed();
    return ERROR_SUCCESS;
}

long KeyTree::enumKey(HKEY key, std::uint32_t index, QString* name, std::uint32_t bufferChars) {
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

long KeyTree::closeKey(HKEY key) {
    if (m_roots.count(key))
        return ERROR_SUCCESS;
    return m_handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

QString KeyTree::formatMessage(long code) const {
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

bool KeyTree::createKey(const QString& path) {
    const qsizetype slash = path.indexOf(u'\\');
    const QString root = slash < 0 ? path : path.left(slash);
    for (const auto& [h, name] : kRoots) {
        if (!sameName(root, QString::fromLatin1(name)))
            continue;
        const QString below = slash < 0 ? QString() : path.mid(slash + 1);
        Key* top = m_roots.at(h).get();
        const bool existed = walk(top, below, false) != nullptr;
        walk(top, below, true);
        if (!existed)
            changed();
        return true;
    }
    return false;
}

QByteArray KeyTree::textBytes(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

bool KeyTree::setText(const QString& path, const QString& name, const QString& text) {
    if (!createKey(path))
        return false;
    put(find(path), name, Value{REG_SZ, textBytes(text)});
    changed();
    return true;
}

bool KeyTree::setNumber(const QString& path, const QString& name, std::uint32_t number) {
    if (!createKey(path))
        return false;
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((number >> (8 * i)) & 0xFF);
    put(find(path), name, Value{REG_DWORD, bytes});
    changed();
    return true;
}

} // namespace platform
