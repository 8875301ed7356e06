#pragma once

#include "controls/RowSource.h"

#include <QSet>
#include <QStringList>
#include <optional>

namespace watch {

// The sites the user always allows. A page whose host is one of them, or a subdomain of one,
// is never closed and never refused. Hosts are kept normalised (see `normalize`); they show
// one a row, international names in their own letters, in the order of what is shown.
class AllowedSites : public controls::RowSource {
    Q_OBJECT
public:
    /// The host an entry stands for: lower case; scheme, user, port, path, query and fragment
    /// dropped; international names in their ASCII form ("xn--..."). A leading "www." is
    /// dropped too while a dot remains: "www.exemple.fr" means the site exemple.fr, with all
    /// its subdomains. Nothing when the text is not a host name: it must hold a dot (or be
    /// "localhost"), and an address of four numbers is a host of its own, never a domain.
    static std::optional<QString> normalize(const QString& text);
    /// The host of an address, lower case in its ASCII form; empty when it has none.
    static QString hostOf(const QString& url);
    /// A normalised host as the user reads it (international names in their own letters).
    static QString shown(const QString& host);

    int size() const { return int(m_hosts.size()); }
    const QString& at(int i) const { return m_hosts.at(i); }
    const QStringList& hosts() const { return m_hosts; }
    /// The entry that allows this host (the host itself or a domain above it), or nothing.
    std::optional<QString> entryFor(const QString& host) const;
    /// True when the host of the address is allowed.
    bool allows(const QString& url) const;

    /// Adds a normalised host at its sorted place (nothing when it is there); returns its row.
    int add(const QString& host);
    void removeAt(int i);
    /// Replaces every host by these normalised ones (sorted, without repeats).
    void assign(QStringList hosts);

    int rowCount() const override { return size(); }
    int columnCount() const override { return 1; }
    QString cell(int row, int column) const override;

private:
    QStringList m_hosts;
    QSet<QString> m_set;
};

} // namespace watch
