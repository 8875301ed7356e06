#pragma once

#include <QByteArray>
#include <QStringList>

namespace watch::csv {

// Records of comma-separated values (RFC 4180), in UTF-8, one record a line ended by CR LF.
// Fields are written without line breaks (each becomes a blank), so that every line of the
// file is one record, and a damaged line spoils no other.

/// One record: a field holding a comma or a double quote is quoted, its quotes doubled.
QByteArray record(const QStringList& fields);
/// The fields of one line (its line end, if any, not counted). Bytes that are not UTF-8 come
/// out as replacement characters; an unclosed quote runs to the end of the line.
QStringList parse(const QByteArray& line);

} // namespace watch::csv
