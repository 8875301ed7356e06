#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace keywords {

// Reads the items of a sequential text file one at a time. Commas and line ends (CR, LF or
// CR LF) separate items; blanks around an unquoted item are dropped; an item that begins
// with a double quote runs to the next double quote, and the rest of its field is skipped.
class ItemReader {
public:
    explicit ItemReader(QString text) : m_text(std::move(text)) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    /// The next item; `quoted` tells whether it was enclosed in double quotes.
    QString next(bool* quoted = nullptr);
    /// Every remaining item.
    QStringList all();

private:
    void skipToFieldEnd();
    QString m_text;
    qsizetype m_pos = 0;
};

/// True when a text must be put in double quotes in the plain form to read back whole: it
/// holds a comma, or has blanks at either end.
bool plainLineNeedsQuotes(const QString& item);
/// One line of the plain form: the text and CR LF. A text holding a comma, or with blanks at
/// either end, is put in double quotes so that it reads back whole.
QString plainLine(const QString& item);
/// One line of the quoted form: the text in double quotes, then CR LF.
QString quotedLine(const QString& item);

/// The number at the start of a text, blanks ignored (0 when there is none). Digits beyond
/// the range of the result saturate.
qint64 leadingInteger(const QString& text);

} // namespace keywords
