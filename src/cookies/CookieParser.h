#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace cookies {

/// Stands for a line break inside a record while it is being parsed.
inline constexpr char16_t kLineSeparator[] = u"|~|";

// One record of a cookie file, as a row of the record list shows it.
struct CookieRow {
    QString domain; // line 3, the row's text
    QString name;   // line 1
    QString value;  // line 2
    QString secure; // "True", "False" or empty, from line 4
    QString source; // the record's lines, each ended by CR LF, without the "*" line
    QString parent; // full path of the cookie file

    /// The cells of a record-list row: text, then sub-items 1 to 5.
    QStringList cells() const { return {domain, name, value, secure, source, parent}; }
    bool operator==(const CookieRow&) const = default;
};

/// The text of a file as the analysis box holds it: read as UTF-8 when valid, else
/// Windows-1252, with bare LF line ends turned into CR LF.
QString analysisText(const QByteArray& bytes);

/// "True" for flags that are numerically 1 (however written: "1", "01", "1.0"), "False" for 0,
/// empty for anything else.
QString secureText(const QString& flags);

/// Parses one record whose line breaks are written as "|~|" (or bare LF). A leading line
/// break is dropped from `source`. Nothing when the record has fewer than nine lines or an
/// empty host line.
std::optional<CookieRow> parseRecord(QString& source, const QString& parent);

/// Cuts a cookie file's text at every "*" and parses each piece; the records in file order.
std::vector<CookieRow> parseRecords(const QString& text, const QString& parent);

/// Decodes the percent-escapes and plus signs of a cookie value by the fixed table, in
/// place; returns the result.
QString decodeValue(QString& text);

} // namespace cookies
