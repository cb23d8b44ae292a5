#pragma once
// Answers questions and file, folder, text, choice and colour dialogs from a script and records
// every box shown, so that tests never block on a modal window. A question the script has no
// answer for fails the running test: a test names each answer it expects to give, Cancel and
// "no file" included.

#include "project/asker.h"

#include <QList>
#include <QStringList>
#include <QTest>

#include <functional>

namespace mb::testing {

class ScriptedAsker : public Asker
{
public:
    struct Shown
    {
        QString kind; // "yesNoCancel", "yesNo", "error", "information", "text", "choose", "open",
                      // "save", "folder", "colour"
        QString caption;
        QString text;  // open: the filter; save: proposed|filter; text and choose: the
                       // label; colour: the colour offered (#rrggbb)
        QString start; // the folder an open or folder chooser starts in
        Answer defaultAnswer = Yes;
    };
    QList<Shown> shown;
    QList<Answer> answers; // for yesNoCancel and yesNo, in order
    QList<QStringList> openAnswers;
    QStringList saveAnswers;
    QStringList folderAnswers;
    QList<std::optional<QString>> textAnswers;
    QList<int> choiceAnswers;
    QList<QColor> colourAnswers;
    // Called whenever something is shown, before it is recorded (to look at the windows then).
    std::function<void()> onShow;

    // The texts of the boxes of one kind, in order.
    QStringList texts(const QString &kind) const
    {
        QStringList out;
        for (const Shown &s : shown)
            if (s.kind == kind)
                out << s.text;
        return out;
    }
    QString last(const QString &kind) const { return texts(kind).value(texts(kind).size() - 1); }
    // Texts of the questions whose default answer is No.
    QStringList defaultNo() const
    {
        QStringList out;
        for (const Shown &s : shown)
            if ((s.kind == u"yesNo" || s.kind == u"yesNoCancel") && s.defaultAnswer == No)
                out << s.text;
        return out;
    }
    // The notes and errors shown, in order.
    QStringList boxes() const
    {
        QStringList out;
        for (const Shown &s : shown)
            if (s.kind == u"error" || s.kind == u"information")
                out << s.text;
        return out;
    }

    Answer ask(QObject *, const Question &q) override
    {
        record({q.withCancel ? QStringLiteral("yesNoCancel") : QStringLiteral("yesNo"), q.caption, q.text, {},
                q.defaultAnswer});
        if (answers.isEmpty()) {
            unexpected(q.text);
            return q.withCancel ? Cancel : No;
        }
        const Answer a = answers.takeFirst();
        return !q.withCancel && a == Cancel ? No : a;
    }
    void tell(QObject *, Severity severity, const QString &caption, const QString &text) override
    {
        record({severity == Error ? QStringLiteral("error") : QStringLiteral("information"), caption, text});
    }
    std::optional<QString> text(QObject *, const QString &caption, const QString &label, const QString &) override
    {
        record({QStringLiteral("text"), caption, label});
        return next(textAnswers, std::optional<QString>(), label);
    }
    int choose(QObject *, const QString &caption, const QString &label, const QStringList &, int) override
    {
        record({QStringLiteral("choose"), caption, label});
        return next(choiceAnswers, -1, label);
    }
    QStringList openFiles(QObject *, const QString &title, const QString &folder, const QString &filter,
                          bool) override
    {
        record({QStringLiteral("open"), title, filter, folder});
        return next(openAnswers, QStringList(), title);
    }
    QString saveFile(QObject *, const QString &title, const QString &proposed, const QString &filter) override
    {
        record({QStringLiteral("save"), title, proposed + u'|' + filter});
        return next(saveAnswers, QString(), title);
    }
    QString folder(QObject *, const QString &title, const QString &start) override
    {
        record({QStringLiteral("folder"), title, QString(), start});
        return next(folderAnswers, QString(), title);
    }
    QColor colour(QObject *, const QString &title, const QColor &initial) override
    {
        record({QStringLiteral("colour"), title, initial.name()});
        return next(colourAnswers, QColor(), title);
    }

private:
    void record(const Shown &s)
    {
        if (onShow)
            onShow();
        shown.append(s);
    }
    template<typename T>
    T next(QList<T> &queue, T cancelled, const QString &what)
    {
        if (queue.isEmpty()) {
            unexpected(what);
            return cancelled;
        }
        return queue.takeFirst();
    }
    void unexpected(const QString &what)
    {
        const QByteArray text = "unexpected " + shown.last().kind.toUtf8() + ": " + what.toUtf8();
        QTest::qFail(text.constData(), __FILE__, __LINE__);
    }
};

} // namespace mb::testing
