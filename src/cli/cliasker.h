#pragma once

#include "project/asker.h"

namespace mb::cli {

struct Context;

// The command line's answers. Nobody sits in front of it, so every answer comes from the
// command's arguments and flags: a question is answered Yes only when the command's flag says
// so (`assumeYes`), otherwise No (or Cancel where it is offered), so that a command does only
// what it was asked to do. Files, folders, texts and choices take the command's `replies` in
// order (a choice the reply that equals one of the items); with none left the choice is
// cancelled. Boxes are printed: errors to stderr, notes to stdout.
class CliAsker : public Asker
{
public:
    explicit CliAsker(Context &ctx) : m_ctx(ctx) {}

    bool assumeYes = false;
    QStringList replies;

    Answer ask(QObject *context, const Question &question) override;
    void tell(QObject *context, Severity severity, const QString &caption, const QString &text) override;
    std::optional<QString> text(QObject *context, const QString &caption, const QString &label,
                                const QString &initial) override;
    int choose(QObject *context, const QString &caption, const QString &label, const QStringList &items,
               int current) override;
    QStringList openFiles(QObject *context, const QString &title, const QString &folder, const QString &filter,
                          bool multiple) override;
    QString saveFile(QObject *context, const QString &title, const QString &proposed, const QString &filter) override;
    QString folder(QObject *context, const QString &title, const QString &start) override;
    QColor colour(QObject *context, const QString &title, const QColor &initial) override;

private:
    std::optional<QString> nextReply();
    Context &m_ctx;
};

} // namespace mb::cli
