#include "project/texthelpers.h"

#include "project/projectmodel.h"

#include <QDir>
#include <QFile>

namespace mb::text {

namespace {

QStringView fieldView(QStringView line, int k, QChar separator)
{
    if (k < 1)
        return {};
    qsizetype start = 0;
    for (int field = 1; field < k; ++field) {
        const qsizetype next = line.indexOf(separator, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    qsizetype end = line.indexOf(separator, start);
    if (end < 0)
        end = line.size();
    return line.mid(start, end - start);
}

bool isBlank(QChar c) { return c.unicode() <= 0x20; }

QString trimField(QStringView field)
{
    qsizetype b = 0, e = field.size();
    while (b < e && isBlank(field[b]))
        ++b;
    while (e > b && isBlank(field[e - 1]))
        --e;
    field = field.mid(b, e - b);
    if (!field.isEmpty() && field.front() == u'"')
        field = field.mid(1);
    if (!field.isEmpty() && field.back() == u'"')
        field.chop(1);
    return field.toString();
}

qsizetype lastSeparator(QStringView path)
{
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

QChar asciiLowerChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? QChar(u + 32) : c;
}

} // namespace

QString getfield(QStringView line, int k) { return fieldView(line, k, u';').toString(); }

QString getfieldtrim(QStringView line, int k) { return trimField(fieldView(line, k, u';')); }

QString getfieldtrimsep(QStringView line, int k, int separatorChoice)
{
    return trimField(fieldView(line, k, separatorChoice == 1 ? QChar(u';') : kEscapedSemicolon));
}

QString inbrackets(QStringView text)
{
    const qsizetype open = text.indexOf(u'(');
    if (open < 0)
        return {};
    const qsizetype close = text.indexOf(u')', open + 1);
    return (close < 0 ? text.mid(open + 1) : text.mid(open + 1, close - open - 1)).toString();
}

QString filepart(QStringView path)
{
    const qsizetype sep = lastSeparator(path);
    return sep < 0 ? QString() : path.mid(sep + 1).toString();
}

QString folderpart(QStringView path)
{
    const qsizetype sep = lastSeparator(path);
    return sep < 0 ? QString() : path.left(sep).toString();
}

QString escapesemi(QString text) { return text.replace(u';', kEscapedSemicolon); }
QString unescapesemi(QString text) { return text.replace(kEscapedSemicolon, u';'); }
QString commatopoint(QString text) { return text.replace(u',', u'.'); }

QString asciiLower(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        c = asciiLowerChar(c);
    return out;
}

int compareText(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = asciiLowerChar(a[i]).unicode();
        const char16_t y = asciiLowerChar(b[i]).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool sameText(QStringView a, QStringView b)
{
    return a.size() == b.size() && compareText(a, b) == 0;
}

QString medianame(QStringView fileName)
{
    QStringView name = fileName;
    const qsizetype sep = lastSeparator(name);
    if (sep >= 0)
        name = name.mid(sep + 1);
    const qsizetype n = name.size();
    if (n >= 4 && name[n - 4] == u'.')
        name.chop(4);
    else if (n >= 5 && name[n - 5] == u'.')
        name.chop(5);
    else
        name.chop(std::min<qsizetype>(3, n));
    return asciiLower(name);
}

int mediaindex(const MediaTable &table, QStringView fileName)
{
    QStringView name = fileName;
    const qsizetype n = name.size();
    name.chop(std::min<qsizetype>((n >= 4 && name[n - 4] == u'.') ? 4 : 3, n));
    const QString key = asciiLower(name);
    for (int slot = table.size(); slot >= 1; --slot)
        if (table.name(slot) == key)
            return slot;
    return -1;
}

bool folderreadonly(const QString &folder)
{
    QFile probe(QDir(folder).filePath(QStringLiteral("test.tst")));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.close();
    probe.remove();
    return false;
}

} // namespace mb::text
