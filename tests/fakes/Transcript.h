#pragma once

#include <QString>
#include <QStringList>

namespace fakes {

// Where the fakes report what the program did, one line at a time.
class Transcript {
public:
    void line(const QString& text) { m_lines.append(text); }
    QStringList take() {
        QStringList lines;
        lines.swap(m_lines);
        return lines;
    }

private:
    QStringList m_lines;
};

/// A text in double quotes with the escapes \r \n \t \" \\ and \xNN for other control bytes.
QString quote(const QString& text);

} // namespace fakes
