#include "fakes/FakeRegistry.h"

#include "fakes/Transcript.h"
#include "platform/TextCodec.h"

#include <functional>

namespace fakes {

using namespace platform;

long FakeRegistry::mayOpen(const Key& key) const {
    for (const QString& denied : deniedKeys)
        if (sameName(denied, key.path()))
            return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
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
                shown = quote(platform::decodeText(bytes));
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

} // namespace fakes
