#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QObject;

namespace mb {

class Message;
class MessageCatalog;

// Everything the program asks the person in front of it, or tells them in a box: questions,
// notes and errors, a line of text, a choice from a list, files, folders and colours. The editor
// answers with Qt dialogs, the command line from its arguments and flags, tests from a script
// (which fails the test on a question it did not expect). Captions and texts are complete texts
// in the catalog's language.
//
// `context` is the object asking (a window in the editor): the dialogs are shown over it. It may
// be null; nothing else is done with it.
class Asker
{
public:
    enum Answer { Yes, No, Cancel };
    enum Severity { Information, Error };

    struct Question
    {
        QString caption;
        QString text;
        bool withCancel = false; // Yes, No and Cancel; otherwise Yes and No
        // The answer of Enter. A question whose Yes deletes or overwrites something defaults to
        // No, so that a hasty Enter does no harm.
        Answer defaultAnswer = Yes;
    };

    virtual ~Asker() = default;

    // --- the kinds a front end answers
    // Yes or No (or Cancel when offered). Escape answers Cancel when offered, otherwise No.
    virtual Answer ask(QObject *context, const Question &question) = 0;
    // A box to be acknowledged.
    virtual void tell(QObject *context, Severity severity, const QString &caption, const QString &text) = 0;
    // A line of text, proposed as `initial`; nullopt when cancelled.
    virtual std::optional<QString> text(QObject *context, const QString &caption, const QString &label,
                                        const QString &initial) = 0;
    // One of `items`, `current` proposed; the index chosen, or -1 when cancelled.
    virtual int choose(QObject *context, const QString &caption, const QString &label, const QStringList &items,
                       int current) = 0;
    // Existing files, several when `multiple` is set; empty when cancelled.
    virtual QStringList openFiles(QObject *context, const QString &title, const QString &folder,
                                  const QString &filter, bool multiple) = 0;
    // A file to write, proposed as `proposed` (a path or a bare name); asks before overwriting.
    // Empty when cancelled.
    virtual QString saveFile(QObject *context, const QString &title, const QString &proposed,
                             const QString &filter) = 0;
    // An existing folder, starting in `start`; empty when cancelled.
    virtual QString folder(QObject *context, const QString &title, const QString &start) = 0;
    // A colour, starting with `initial`; an invalid colour when cancelled.
    virtual QColor colour(QObject *context, const QString &title, const QColor &initial) = 0;

    // --- shorthands
    Answer yesNoCancel(QObject *context, const QString &caption, const QString &text)
    {
        return ask(context, {caption, text, true, Yes});
    }
    bool yesNo(QObject *context, const QString &caption, const QString &text)
    {
        return ask(context, {caption, text, false, Yes}) == Yes;
    }
    // A question whose Yes deletes or overwrites something: No is the default answer.
    bool yesNoDefaultNo(QObject *context, const QString &caption, const QString &text)
    {
        return ask(context, {caption, text, false, No}) == Yes;
    }
    void error(QObject *context, const QString &caption, const QString &text)
    {
        tell(context, Error, caption, text);
    }
    void information(QObject *context, const QString &caption, const QString &text)
    {
        tell(context, Information, caption, text);
    }
    // A message an operation returned, in the catalog's language under its own caption (an
    // error box for errors, an information box otherwise); an empty message shows nothing.
    void show(QObject *context, const Message &message, const MessageCatalog &catalog);
    // The first file chosen, or empty.
    QString openFile(QObject *context, const QString &title, const QString &folder, const QString &filter)
    {
        return openFiles(context, title, folder, filter, false).value(0);
    }
};

// Passes everything on to another asker, which can be exchanged at any time: a window hands
// this one to the dialogs it makes, and a test can still put its script in later.
class RelayAsker : public Asker
{
public:
    explicit RelayAsker(Asker *target = nullptr) : m_target(target) {}
    void setTarget(Asker *target) { m_target = target; }
    Asker *target() const { return m_target; }

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
    Asker *m_target;
};

} // namespace mb
