#include "app/questions.h"

#include <QFileDialog>
#include <QMessageBox>

namespace mb {

Questions::Answer DialogQuestions::yesNoCancel(QWidget *parent, const QString &caption, const QString &text)
{
    const auto b = QMessageBox::question(parent, caption, text,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Yes);
    return b == QMessageBox::Yes ? Yes : b == QMessageBox::No ? No : Cancel;
}

bool DialogQuestions::yesNo(QWidget *parent, const QString &caption, const QString &text)
{
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

bool DialogQuestions::yesNoDefaultNo(QWidget *parent, const QString &caption, const QString &text)
{
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void DialogQuestions::error(QWidget *parent, const QString &caption, const QString &text)
{
    QMessageBox::critical(parent, caption, text);
}

void DialogQuestions::information(QWidget *parent, const QString &caption, const QString &text)
{
    QMessageBox::information(parent, caption, text);
}

QStringList DialogQuestions::openFiles(QWidget *parent, const QString &title, const QString &folder,
                                       const QString &filter, bool multiple)
{
    if (multiple)
        return QFileDialog::getOpenFileNames(parent, title, folder, filter);
    const QString file = QFileDialog::getOpenFileName(parent, title, folder, filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString DialogQuestions::saveFile(QWidget *parent, const QString &title, const QString &proposed,
                                  const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, proposed, filter);
}

QString DialogQuestions::folder(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

} // namespace mb
