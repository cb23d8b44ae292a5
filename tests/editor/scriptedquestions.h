#pragma once
// Answers the main window's boxes and file dialogs from a script and records what was shown,
// so that GUI tests never block on a modal window.

#include "app/questions.h"

#include <QList>

#include <functional>
#include <QStringList>

namespace mb::testing {

class ScriptedQuestions : public Questions
{
public:
    struct Shown
    {
        QString kind; // "yesNoCancel", "yesNo", "error", "information", "open", "save", "folder"
        QString caption;
        QString text;
        QString start; // the folder a folder chooser starts in
    };
    QList<Shown> shown;
    QList<Answer> answers;       // for yesNoCancel and yesNo (Yes or No); empty: Cancel / No
    QList<QStringList> openAnswers;
    QStringList saveAnswers;
    QStringList folderAnswers;
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

    Answer yesNoCancel(QWidget *, const QString &caption, const QString &text) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("yesNoCancel"), caption, text});
        return answers.isEmpty() ? Cancel : answers.takeFirst();
    }
    bool yesNo(QWidget *, const QString &caption, const QString &text) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("yesNo"), caption, text});
        return !answers.isEmpty() && answers.takeFirst() == Yes;
    }
    // Recorded as a yesNo box; the default answer is listed in defaultNo.
    bool yesNoDefaultNo(QWidget *parent, const QString &caption, const QString &text) override
    {
        defaultNo << text;
        return yesNo(parent, caption, text);
    }
    QStringList defaultNo; // texts of the questions whose default answer is No
    void error(QWidget *, const QString &caption, const QString &text) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("error"), caption, text});
    }
    void information(QWidget *, const QString &caption, const QString &text) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("information"), caption, text});
    }
    QStringList openFiles(QWidget *, const QString &title, const QString &, const QString &filter, bool) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("open"), title, filter});
        return openAnswers.isEmpty() ? QStringList() : openAnswers.takeFirst();
    }
    QString saveFile(QWidget *, const QString &title, const QString &proposed, const QString &filter) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("save"), title, proposed + u'|' + filter});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString folder(QWidget *, const QString &title, const QString &start) override
    {
        if (onShow)
            onShow();
        shown.append({QStringLiteral("folder"), title, QString(), start});
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
};

} // namespace mb::testing
