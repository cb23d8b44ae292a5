#pragma once
// How the dialogs show their boxes. Each dialog holds one of these, defaulting to a modal
// QMessageBox; tests replace it with a recorder so that nothing blocks.

#include <QMessageBox>
#include <QString>

#include <functional>

namespace mb {

using DialogMessage =
    std::function<void(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text)>;
// Yes/No question; true for Yes.
using DialogQuestion = std::function<bool(QWidget *parent, const QString &caption, const QString &text)>;

inline DialogMessage messageBoxMessage()
{
    return [](QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
}

inline DialogQuestion messageBoxQuestion()
{
    return [](QWidget *parent, const QString &caption, const QString &text) {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
}

} // namespace mb
