#include "script/scriptpresets.h"

#include "platform/ansicodec.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace mb::presets {

QStringList item(const QString &itemName)
{
    return {QStringLiteral("on (mouse)"), QStringLiteral(" showinfo ( ; )"), QString(),
            QStringLiteral("on (pickup)"), QStringLiteral(" break()"), QString(),
            QStringLiteral("on (use)"), QStringLiteral(" link (") + itemName + u')', QString(),
            QStringLiteral("on (give)"), QStringLiteral(" givelink()")};
}

QStringList object()
{
    return {QStringLiteral("on (mouse)"), QStringLiteral(" showinfo ( ; )"), QString(),
            QStringLiteral("on (click)"), QStringLiteral(" walkto ( ; ; ; )")};
}

QStringList room()
{
    QStringList lines;
    for (const char *event : {"enter", "loop1", "loop2", "exit"})
        lines << QStringLiteral("on (%1)").arg(QLatin1String(event)) << QStringLiteral(" {") << QString()
              << QStringLiteral(" }") << QString();
    return lines;
}

QStringList character(const QString &n)
{
    return {QStringLiteral("on (mouse)"),
            QStringLiteral(" showinfo ( ; )"),
            QString(),
            QStringLiteral("on (click)"),
            QStringLiteral(" follow (self ; ") + n + u')',
            QString(),
            QStringLiteral("on (givelink)"),
            QStringLiteral(" {"),
            QStringLiteral(" delitem (self ; givelink)"),
            QStringLiteral(" additem (") + n + QStringLiteral(" ; givelink)"),
            QStringLiteral(" lookto (") + n + QStringLiteral(" ; self)"),
            QStringLiteral(" playsound ( )"),
            QStringLiteral(" pickup (self)"),
            QStringLiteral(" pickup (") + n + u')',
            QStringLiteral(" }"),
            QString(),
            QStringLiteral("on (cantall)"),
            QStringLiteral(" {"),
            QString(),
            QStringLiteral(" }")};
}

QStringList textscene(int rows)
{
    QStringList lines{QStringLiteral("level ( )"), QStringLiteral(" {")};
    for (int r = 1; r <= std::clamp(rows, 1, 9); ++r)
        lines << QStringLiteral(" row (%1 ; ; true)").arg(r) << QStringLiteral("  {") << QStringLiteral("  ")
              << QStringLiteral("  }");
    lines << QStringLiteral(" }");
    return lines;
}

QList<Custom> parse(const QStringList &lines)
{
    QList<Custom> result;
    for (const QString &line : lines) {
        if (text::sameText(QStringView(line).left(7), u"preset ")) {
            result.append({line.mid(7), {}});
            continue;
        }
        if (!result.isEmpty())
            result.back().lines.append(line);
    }
    return result;
}

QList<Custom> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = ansi::decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the line end of the last line starts no further line
    return parse(lines);
}

QString filePath(const QString &editorFolder)
{
    return QDir(editorFolder).filePath(QStringLiteral("presets.txt"));
}

} // namespace mb::presets
