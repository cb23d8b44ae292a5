#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace mb {

// Every box and file dialog the main window and its dialogs show goes through this interface,
// so that tests answer from a script instead of blocking on a modal window. Captions and texts
// are complete (catalog texts); an empty file result means the user cancelled.
class Questions
{
public:
    enum Answer { Yes, No, Cancel };
    virtual ~Questions() = default;

    virtual Answer yesNoCancel(QWidget *parent, const QString &caption, const QString &text) = 0;
    virtual bool yesNo(QWidget *parent, const QString &caption, const QString &text) = 0;
    // A question whose Yes deletes or overwrites something: No is the default answer, so that
    // Enter does no harm. Answered like yesNo() unless overridden.
    virtual bool yesNoDefaultNo(QWidget *parent, const QString &caption, const QString &text)
    {
        return yesNo(parent, caption, text);
    }
    virtual void error(QWidget *parent, const QString &caption, const QString &text) = 0;
    virtual void information(QWidget *parent, const QString &caption, const QString &text) = 0;

    // Existing files; several when `multiple` is set.
    virtual QStringList openFiles(QWidget *parent, const QString &title, const QString &folder,
                                  const QString &filter, bool multiple) = 0;
    // A file to write, proposed as `proposed` (a path or a bare name); asks before overwriting.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &proposed,
                             const QString &filter) = 0;
    virtual QString folder(QWidget *parent, const QString &title, const QString &start) = 0;
};

// The answers of the running editor: QMessageBox and QFileDialog.
class DialogQuestions : public Questions
{
public:
    Answer yesNoCancel(QWidget *parent, const QString &caption, const QString &text) override;
    bool yesNo(QWidget *parent, const QString &caption, const QString &text) override;
    bool yesNoDefaultNo(QWidget *parent, const QString &caption, const QString &text) override;
    void error(QWidget *parent, const QString &caption, const QString &text) override;
    void information(QWidget *parent, const QString &caption, const QString &text) override;
    QStringList openFiles(QWidget *parent, const QString &title, const QString &folder,
                          const QString &filter, bool multiple) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &proposed,
                     const QString &filter) override;
    QString folder(QWidget *parent, const QString &title, const QString &start) override;
};

} // namespace mb
