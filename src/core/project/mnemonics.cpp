#include "project/mnemonics.h"

#include <QSet>

namespace mb {

namespace {

QString escaped(const QString &plain)
{
    QString out = plain;
    return out.replace(u'&', QStringLiteral("&&"));
}

} // namespace

QStringList withMnemonics(const QStringList &plainTexts)
{
    QSet<QChar> used;
    QStringList out;
    for (const QString &plain : plainTexts) {
        auto freeAt = [&](auto accept) -> int {
            for (int k = 0; k < plain.size(); ++k)
                if (accept(k) && !used.contains(plain[k].toLower()))
                    return k;
            return -1;
        };
        auto wordStart = [&](int k) { return plain[k].isLetter() && (k == 0 || !plain[k - 1].isLetterOrNumber()); };
        int pick = freeAt(wordStart);
        if (pick < 0)
            pick = freeAt([&](int k) { return plain[k].isLetter(); });
        if (pick < 0)
            pick = freeAt([&](int k) { return plain[k].isDigit(); });
        if (pick < 0) {
            out << escaped(plain);
            continue;
        }
        used.insert(plain[pick].toLower());
        out << escaped(plain.left(pick)) + u'&' + escaped(plain.mid(pick));
    }
    return out;
}

} // namespace mb
