#pragma once

#include "platform/Registry.h"

#include <QMap>
#include <map>
#include <memory>
#include <vector>

namespace platform::fake {

// An in-memory key tree with the registry's calling conventions. Key names compare without
// regard to case and keep the case they were created with; subkeys enumerate in creation
// order.
class FakeRegistry : public Registry {
public:
    FakeRegistry();
    ~FakeRegistry() override;

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
    /// Every value under a key and its subkeys: "PATH\NAME = "text"" or "= 1234", sorted.
    QStringList dump(const QString& path) const;
    /// Keys opened and not closed yet.
    int openHandles() const { return int(m_handles.size()); }
    /// Keys whose opening fails with ERROR_ACCESS_DENIED (by path, case-insensitive).
    QStringList deniedKeys;

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

private:
    Key* keyOf(HKEY key) const;
    Key* find(const QString& path) const;
    Key* walk(Key* from, const QString& subKey, bool create) const;

    std::map<HKEY, std::unique_ptr<Key>> m_roots;
    std::map<HKEY, Key*> m_handles;
    HKEY m_nextHandle = 0x100;
};

} // namespace platform::fake
