#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace scenario {

// One word of a scenario line. `bytes` keeps the exact bytes of a quoted string (\xNN gives
// one byte); `text` is its UTF-8 reading.
struct Word {
    QString text;
    QByteArray bytes;
    bool quoted = false;
    QString key; // for key=value words: the key (text and bytes hold the value)
};

struct LineError {
    QString message;
};

/// Splits one line into words: words between blanks, `KEY=VALUE` words (the value may be a
/// quoted string), and quoted strings with the escapes \r \n \t \" \\ \xNN and \u{HEX}.
/// Throws LineError.
std::vector<Word> splitLine(const QString& line);

/// A number word; throws LineError.
int toInt(const Word& w);
/// Throws LineError when fewer than `count` arguments were given.
void need(const std::vector<Word>& args, std::size_t count);

} // namespace scenario
