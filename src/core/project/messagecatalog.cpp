#include "project/messagecatalog.h"

#include <QFile>

namespace mb {

namespace {

QStringList loadLines(const QString &resource)
{
    QFile file(resource);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString all = QString::fromUtf8(file.readAll());
    lines = all.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

MessageCatalog::MessageCatalog(const QString &language) : m_language(language) {}

const QStringList &MessageCatalog::lines(const QString &language)
{
    // Read once; the texts never change while the program runs.
    static const QStringList english = loadLines(QStringLiteral(":/mossbramble/project/resources/messages_en.txt"));
    static const QStringList german = loadLines(QStringLiteral(":/mossbramble/project/resources/messages_de.txt"));
    return language == QLatin1String("DE") && german.size() == count() ? german : english;
}

QString MessageCatalog::msg(int n) const { return msg(n, m_language); }

QString MessageCatalog::msg(int n, const QString &language) const
{
    const QStringList &list = lines(language);
    if (n < 1 || n > list.size())
        return {};
    return list[n - 1].mid(4);
}

const QStringList &MessageCatalog::extraLines(const QString &language)
{
    static const QStringList english = loadLines(QStringLiteral(":/mossbramble/project/resources/extra_en.txt"));
    static const QStringList german = loadLines(QStringLiteral(":/mossbramble/project/resources/extra_de.txt"));
    return language == QLatin1String("DE") && german.size() == english.size() ? german : english;
}

int MessageCatalog::extraCount() { return int(extraLines(QStringLiteral("EN")).size()); }

QString MessageCatalog::extra(int n) const { return extra(n, m_language); }

QString MessageCatalog::extra(int n, const QString &language) const
{
    const QStringList &list = extraLines(language);
    if (n < 1 || n > list.size())
        return {};
    return list[n - 1].mid(4).replace(QLatin1String("\\n"), QLatin1String("\n"));
}

} // namespace mb
