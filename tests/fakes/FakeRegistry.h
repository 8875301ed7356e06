#pragma once

#include "platform/common/KeyTree.h"

#include <QStringList>

namespace fakes {

// An in-memory key tree with the registry's calling conventions. Key names compare without
// regard to case and keep the case they were created with; subkeys enumerate in creation
// order.
class FakeRegistry : public platform::KeyTree {
public:
    /// Every value under a key and its subkeys: "PATH\NAME = "text"" or "= 1234", sorted.
    QStringList dump(const QString& path) const;
    /// Keys whose opening fails with ERROR_ACCESS_DENIED (by path, case-insensitive).
    QStringList deniedKeys;

protected:
    long mayOpen(const Key& key) const override;
};

} // namespace fakes
