#include "watch/Allowances.h"

#include <QUrl>

namespace watch {

namespace {
// How long an address asked for stays waiting for its window.
constexpr qint64 kGrantSeconds = 60;
} // namespace

QString Allowances::pageKey(const QString& url) {
    const QUrl u(url, QUrl::TolerantMode);
    if (!u.isValid())
        return url;
    return u.adjusted(QUrl::RemoveFragment | QUrl::StripTrailingSlash | QUrl::NormalizePathSegments)
        .toString(QUrl::FullyEncoded);
}

bool Allowances::spares(platform::WindowHandle handle, const QString& url) {
    if (m_sites.allows(url))
        return true;
    if (m_spared.empty() && m_grants.empty())
        return false;
    const QString key = pageKey(url);
    if (const auto it = m_spared.find(handle); it != m_spared.end()) {
        if (it->second == key)
            return true;
        m_spared.erase(it); // gone elsewhere: judged again from now on
        return false;
    }
    const QDateTime now = m_clock.now();
    for (auto it = m_grants.begin(); it != m_grants.end();) {
        if (it->until < now) {
            it = m_grants.erase(it);
        } else if (it->key == key) {
            m_grants.erase(it);
            m_spared[handle] = key;
            return true;
        } else {
            ++it;
        }
    }
    return false;
}

bool Allowances::sparesRequest(const QString& openerUrl, const QString& url) const {
    return m_sites.allows(url) || m_sites.allows(openerUrl);
}

void Allowances::grantOnce(const QString& url) {
    m_grants.push_back({pageKey(url), m_clock.now().addSecs(kGrantSeconds)});
}

} // namespace watch
