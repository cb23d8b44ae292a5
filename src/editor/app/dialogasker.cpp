#include "app/dialogasker.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QWidget>

namespace mb {

QWidget *DialogAsker::parentFor(QObject *context)
{
    for (QObject *o = context; o; o = o->parent())
        if (o->isWidgetType())
            return static_cast<QWidget *>(o);
    return QApplication::activeWindow();
}

std::unique_ptr<QMessageBox> DialogAsker::questionBox(QWidget *parent, const Question &question)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (question.withCancel)
        buttons |= QMessageBox::Cancel;
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, question.caption, question.text, buttons, parent);
    switch (question.defaultAnswer) {
    case Yes: box->setDefaultButton(QMessageBox::Yes); break;
    case No: box->setDefaultButton(QMessageBox::No); break;
    case Cancel: box->setDefaultButton(question.withCancel ? QMessageBox::Cancel : QMessageBox::No); break;
    }
    box->setEscapeButton(question.withCancel ? QMessageBox::Cancel : QMessageBox::No);
    return box;
}

Asker::Answer DialogAsker::ask(QObject *context, const Question &question)
{
    const auto box = questionBox(parentFor(context), question);
    switch (box->exec()) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return question.withCancel ? Cancel : No;
    }
}

void DialogAsker::tell(QObject *context, Severity severity, const QString &caption, const QString &text)
{
    QMessageBox box(severity == Error ? QMessageBox::Critical : QMessageBox::Information, caption, text,
                    QMessageBox::Ok, parentFor(context));
    box.exec();
}

std::optional<QString> DialogAsker::text(QObject *context, const QString &caption, const QString &label,
                                         const QString &initial)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(parentFor(context), caption, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return typed;
}

int DialogAsker::choose(QObject *context, const QString &caption, const QString &label, const QStringList &items,
                        int current)
{
    if (items.isEmpty())
        return -1;
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(parentFor(context), caption, label, items, qBound(0, current, int(items.size()) - 1),
                              false, &ok);
    return ok ? int(items.indexOf(chosen)) : -1;
}

QStringList DialogAsker::openFiles(QObject *context, const QString &title, const QString &folder,
                                   const QString &filter, bool multiple)
{
    QWidget *parent = parentFor(context);
    if (multiple)
        return QFileDialog::getOpenFileNames(parent, title, folder, filter);
    const QString file = QFileDialog::getOpenFileName(parent, title, folder, filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString DialogAsker::saveFile(QObject *context, const QString &title, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(parentFor(context), title, proposed, filter);
}

QString DialogAsker::folder(QObject *context, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parentFor(context), title, start);
}

QColor DialogAsker::colour(QObject *context, const QString &title, const QColor &initial)
{
    return QColorDialog::getColor(initial, parentFor(context), title);
}

} // namespace mb
