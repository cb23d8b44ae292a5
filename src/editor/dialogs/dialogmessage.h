#pragma once
// How the dialogs show their boxes. Each dialog holds one of these, defaulting to a modal
// QMessageBox; tests replace it with a recorder so that nothing blocks.

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

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

// The box of a question before something is deleted: Yes and No, with No the default button,
// so that a hasty Enter keeps what is there.
inline std::unique_ptr<QMessageBox> deleteQuestionBox(QWidget *parent, const QString &caption, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, caption, text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

// The dialogs ask only before they delete something, so their question is a delete question.
inline DialogQuestion messageBoxQuestion()
{
    return [](QWidget *parent, const QString &caption, const QString &text) {
        return deleteQuestionBox(parent, caption, text)->exec() == QMessageBox::Yes;
    };
}

} // namespace mb
