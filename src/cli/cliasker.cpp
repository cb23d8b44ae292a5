#include "cli/cliasker.h"

#include "cli/clicontext.h"

namespace mb::cli {

std::optional<QString> CliAsker::nextReply()
{
    if (replies.isEmpty())
        return std::nullopt;
    return replies.takeFirst();
}

Asker::Answer CliAsker::ask(QObject *, const Question &question)
{
    if (assumeYes)
        return Yes;
    return question.withCancel ? Cancel : No;
}

void CliAsker::tell(QObject *, Severity severity, const QString &, const QString &text)
{
    m_ctx.endProgress();
    QTextStream &stream = severity == Error ? m_ctx.err : m_ctx.out;
    stream << text << "\n";
    stream.flush();
}

std::optional<QString> CliAsker::text(QObject *, const QString &, const QString &, const QString &)
{
    return nextReply();
}

int CliAsker::choose(QObject *, const QString &, const QString &, const QStringList &items, int)
{
    const std::optional<QString> reply = nextReply();
    return reply ? int(items.indexOf(*reply)) : -1;
}

QStringList CliAsker::openFiles(QObject *, const QString &, const QString &, const QString &, bool multiple)
{
    QStringList files;
    while (const std::optional<QString> reply = nextReply()) {
        files << *reply;
        if (!multiple)
            break;
    }
    return files;
}

QString CliAsker::saveFile(QObject *, const QString &, const QString &, const QString &)
{
    return nextReply().value_or(QString());
}

QString CliAsker::folder(QObject *, const QString &, const QString &)
{
    return nextReply().value_or(QString());
}

QColor CliAsker::colour(QObject *, const QString &, const QColor &)
{
    const std::optional<QString> reply = nextReply();
    return reply ? QColor::fromString(*reply) : QColor();
}

} // namespace mb::cli
