#pragma once

#include "platform/Registry.h"

#include <QStringList>
#include <map>
#include <memory>
#include <vector>

namespace platform {

// An in-memory key tree with the registry's calling conventions and result codes. Key names
// compare without regard to case and keep the case they were created with; subkeys enumerate
// in creation order. The fake registry and the file-backed one on Linux both build on it.
class KeyTree : public Registry {
public:
    KeyTree();
    ~KeyTree() override;

    long openKey(HKEY key, const QString& subKey, std::uint32_t access, HKEY* result) override;
    long queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                    std::uint32_t* size) override;
    long setValue(HKEY key, const QString& name, std::uint32_t type,
                  const QByteArray& data) override;
    long deleteValue(HKEY key, const QString& name) override;
    long enumKey(HKEY key, std::uint32_t index, QString* name, std::uint32_t bufferChars) override;
    long closeKey(HKEY key) override;
    QString formatMessage(long code) const override;

    // Set-up and inspection. PATH is "HKEY_...\part\part".
    /// Creates a key and its parents; false for an unknown root.
    bool createKey(const QString& path);
    bool setText(const QString& path, const QString& name, const QString& text);
    bool setNumber(const QString& path, const QString& name, std::uint32_t number);
    /// Keys opened and not closed yet.
    int openHandles() const { return int(m_handles.size()); }

    struct Value {
        std::uint32_t type = REG_NONE;
        QByteArray data;
    };
    struct Key {
        QString name;
        Key* parent = nullptr;
        std::vector<std::unique_ptr<Key>> children;
        std::vector<std::pair<QString, Value>> values;
        Key* child(const QString& name) const;
        Value* value(const QString& name);
        QString path() const;
    };

    /// The bytes of a text value: UTF-8 with its terminating NUL.
    static QByteArray textBytes(const QString& text);
    /// The answer of a value query for this value (the sizing rules of queryValue).
    static long answerQuery(const Value& v, std::uint32_t* type, QByteArray* data,
                            std::uint32_t* size);
    static bool sameName(const QString& a, const QString& b);

protected:
    /// The key behind an open handle or a root; null when there is none.
    Key* keyOf(HKEY key) const;
    /// The key at "HKEY_...\part\part"; null when there is none.
    Key* find(const QString& path) const;
    Key* walk(Key* from, const QString& subKey, bool create) const;
    /// The three roots, in the order HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE.
    std::vector<std::pair<HKEY, Key*>> roots() const;
    /// The result of opening a found key (ERROR_SUCCESS lets it open).
    virtual long mayOpen(const Key&) const { return ERROR_SUCCESS; }
    /// Called after every change to the tree (keys created, values written or deleted).
    virtual void changed() {}

private:
    void put(Key* k, const QString& name, Value v);

    std::map<HKEY, std::unique_ptr<Key>> m_roots;
    std::map<HKEY, Key*> m_handles;
    HKEY m_nextHandle = 0x100;
};

} // namespace platform
