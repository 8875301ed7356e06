// Data the benchmarks share: a list of keywords and the filter list to import.
#pragma once

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

namespace bench {

/// `count` keywords: those of the file named by TAVREL_KEYWORD_LIST (made by
/// bench/make-keyword-list: EasyList's host names) when it is set and long enough, otherwise
/// generated ad-like domains. Says on stderr which.
inline QStringList keywordList(int count) {
    const QString path = qEnvironmentVariable("TAVREL_KEYWORD_LIST");
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        QStringList words = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        words.removeAll(QString());
        if (words.size() >= count) {
            words.resize(count);
            std::fprintf(stderr, "keywords: %d from %s\n", count, qPrintable(path));
            return words;
        }
    }
    std::fprintf(stderr, "keywords: %d generated (set TAVREL_KEYWORD_LIST to use a real list)\n",
                 count);
    QRandomGenerator rng(7);
    static const char* tlds[] = {"com", "net", "org", "fr", "io"};
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString s;
        const int len = 6 + int(rng.bounded(12));
        for (int k = 0; k < len; ++k)
            s += QChar(u'a' + char16_t(rng.bounded(26)));
        out.append(s + u'.' + QString::fromLatin1(tlds[rng.bounded(5)]));
    }
    return out;
}

/// Debian's copy of EasyList (package webext-ublock-origin-chromium), or empty.
inline QString easyListPath() {
    const QString chosen = qEnvironmentVariable("TAVREL_EASYLIST");
    for (const QString& p : {chosen, QStringLiteral("/usr/share/chromium/extensions/ublock-origin/"
                                                    "assets/thirdparties/easylist/easylist.txt")})
        if (!p.isEmpty() && QFile::exists(p))
            return p;
    return {};
}

} // namespace bench
