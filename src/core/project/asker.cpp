#include "project/asker.h"

#include "project/message.h"
#include "project/messagecatalog.h"

namespace mb {

void Asker::show(QObject *context, const Message &message, const MessageCatalog &catalog)
{
    if (message.isEmpty())
        return;
    tell(context, message.icon() == Message::Error ? Error : Information, catalog.msg(message.caption()),
         message.render(catalog));
}

// Without a target nothing is shown and every question gets its safe answer.
Asker::Answer RelayAsker::ask(QObject *context, const Question &question)
{
    if (m_target)
        return m_target->ask(context, question);
    return question.withCancel ? Cancel : No;
}

void RelayAsker::tell(QObject *context, Severity severity, const QString &caption, const QString &text)
{
    if (m_target)
        m_target->tell(context, severity, caption, text);
}

std::optional<QString> RelayAsker::text(QObject *context, const QString &caption, const QString &label,
                                        const QString &initial)
{
    return m_target ? m_target->text(context, caption, label, initial) : std::nullopt;
}

int RelayAsker::choose(QObject *context, const QString &caption, const QString &label, const QStringList &items,
                       int current)
{
    return m_target ? m_target->choose(context, caption, label, items, current) : -1;
}

QStringList RelayAsker::openFiles(QObject *context, const QString &title, const QString &folder,
                                  const QString &filter, bool multiple)
{
    return m_target ? m_target->openFiles(context, title, folder, filter, multiple) : QStringList();
}

QString RelayAsker::saveFile(QObject *context, const QString &title, const QString &proposed, const QString &filter)
{
    return m_target ? m_target->saveFile(context, title, proposed, filter) : QString();
}

QString RelayAsker::folder(QObject *context, const QString &title, const QString &start)
{
    return m_target ? m_target->folder(context, title, start) : QString();
}

QColor RelayAsker::colour(QObject *context, const QString &title, const QColor &initial)
{
    return m_target ? m_target->colour(context, title, initial) : QColor();
}

} // namespace mb
