#pragma once

#include "project/asker.h"

#include <QMessageBox>

#include <memory>

class QWidget;

namespace mb {

// The editor's answers: message boxes, the input dialog and the file and colour dialogs, shown
// over the window that asks (or the active window when the asker is no widget).
class DialogAsker : public Asker
{
public:
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

    // The box of a question, not yet shown: its buttons, the default button the question names
    // and Escape on Cancel (or No when there is no Cancel).
    static std::unique_ptr<QMessageBox> questionBox(QWidget *parent, const Question &question);
    // The widget dialogs are shown over for an asker.
    static QWidget *parentFor(QObject *context);
};

} // namespace mb
