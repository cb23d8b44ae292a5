#include "script/caretanalysis.h"

#include "project/projectmodel.h"
#include "project/texthelpers.h"
#include "script/argumenthint.h"

#include <algorithm>

namespace mb {

namespace {

bool isBlank(QChar c) { return c.unicode() <= 0x20; }
bool isLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }

bool startsWithText(QStringView entry, QStringView filter)
{
    return entry.size() >= filter.size() && text::sameText(entry.left(filter.size()), filter);
}

} // namespace

CaretContext analyzeCaret(QStringView text, int position, int column, int lineLength)
{
    CaretContext r;
    qsizetype p = text.isEmpty() ? 0 : position;
    if (lineLength + 1 < column) {
        r.beyondLineEnd = true;
        p += lineLength - column + 1; // back to the end of the line
    }
    p = std::clamp<qsizetype>(p, 0, text.size());

    // Backwards: collected in reverse, turned round below.
    QString fragment, command;
    bool inCommand = false, fragmentClosed = false;
    for (qsizetype i = p - 1; i >= 0; --i) {
        const QChar ch = text[i];
        if (ch == u')' || ch == u'{' || ch == u'}')
            break;
        if (inCommand) {
            if (ch != u'(' && !isLineBreak(ch))
                command.append(ch);
            continue;
        }
        if (ch == u';' || ch == u'(') {
            ++r.position;
            fragmentClosed = true;
            inCommand = ch == u'(';
        } else if (!isLineBreak(ch) && !fragmentClosed) {
            fragment.append(ch);
        }
    }
    std::reverse(fragment.begin(), fragment.end());
    std::reverse(command.begin(), command.end());

    for (qsizetype i = p; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u')' || ch == u'(' || ch == u';' || isLineBreak(ch))
            break;
        r.wordRest.append(ch);
    }

    qsizetype lead = 0;
    while (lead < fragment.size() && isBlank(fragment[lead]))
        ++lead;
    fragment.remove(0, lead);
    if (r.beyondLineEnd)
        fragment.append(u' ');
    if (std::all_of(fragment.cbegin(), fragment.cend(), isBlank))
        fragment.clear();
    command.removeIf(isBlank);

    if (command.isEmpty()) {
        // No "(" before the caret: the word typed at the start of a statement is the command.
        command = fragment;
        fragment.clear();
    }
    r.fragment = fragment;
    r.command = command;
    return r;
}

ChoiceLists choiceLists(const QStringList &entries, QStringView filter)
{
    ChoiceLists lists;
    const qsizetype n = entries.size();
    if (!filter.isEmpty()) {
        const auto first = std::find_if(entries.cbegin(), entries.cend(),
                                        [&](const QString &e) { return startsWithText(e, filter); });
        if (first == entries.cend())
            return lists;
        const qsizetype i = first - entries.cbegin();
        lists.left.append(*first);
        for (qsizetype k = i + 1; k < std::min(n, i + 8); ++k)
            if (startsWithText(entries[k], filter))
                (k <= i + 3 ? lists.left : lists.right).append(entries[k]);
        return lists;
    }
    if (n > 7) {
        const qsizetype m = (n - 1) / 2;
        lists.left = {entries[0], entries[1], entries[2], entries[m]};
        lists.right = {entries[m + 1], entries[m + 2], entries[n - 2], entries[n - 1]};
        return lists;
    }
    lists.left = entries.mid(0, 3);
    lists.right = entries.mid(3);
    return lists;
}

CaretHint caretHint(const CaretContext &context, const NameLists &names, const MessageCatalog &catalog)
{
    CaretHint hint;
    if (context.command.isEmpty())
        return hint;
    const ArgumentHint argument = argumentHint(context.command, context.position, catalog);
    hint.text = argument.text;
    if (!argument.hasList() || names[argument.nameList].isEmpty())
        return hint;
    hint.listsEnabled = true;
    hint.lists = choiceLists(names[argument.nameList], context.filter());
    return hint;
}

ChosenLine applyChoice(QStringView line, int column, int filterLength, int wordRestLength, QStringView entry)
{
    const qsizetype keep = std::max(0, column - filterLength - 1);
    QString result = line.left(keep).toString();
    if (result.size() < keep)
        result.append(QString(keep - result.size(), u' '));
    result.append(entry);
    const qsizetype restFrom = qsizetype(column) + wordRestLength - 1;
    if (restFrom < line.size())
        result.append(line.mid(restFrom));
    return {result, int(keep + entry.size() + 1)};
}

} // namespace mb
