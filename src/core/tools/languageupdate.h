#pragma once

#include "platform/workprogress.h"

#include <QString>

namespace mb {

class ProjectModel;
class ProjectSession;
struct LangLists;

// The marks on origin entries of the LanguageLists.
inline constexpr QStringView kNewMark = u"*NEU*";   // added since the translator last looked
inline constexpr QStringView kCheckMark = u"*CHE*"; // seen during the running update only

// Brings the LanguageLists up to date with the scripts (what make game runs before every build).
//
// Every text call found by LanguageScanner, in the scanner's source order, is looked up in its
// kind's origin list: an entry matches when it equals the text plain or with one of the two
// marks in front, and for speech and offspeech also the entry at the same index of the voice
// list is the call's voice entry. The first match without a mark gets "*CHE*"; a call without a
// match is appended as "*NEU*" + text, its voice entry to the voice list, and the plain text
// (and voice entry) to the same lists of every defined language. The walk text, link text,
// give-link text and the shown command names are handled the same way in kommandos. Then every
// origin text list is swept: "*CHE*" is removed, "*NEU*" entries stay, and an entry with neither
// mark is deleted together with the entries at its index in the voice list and in every
// language's lists of that kind.
//
// Before anything else the lists are made parallel again should a damaged file have left them
// uneven: the voice lists and every defined language's lists get exactly the length of their
// origin text list (missing text entries copy the origin text without mark, missing voice
// entries copy the origin voice entry).
//
// Texts that cannot be stored in a list line unambiguously are not collected: texts that begin
// with "*/*" (the section start of the language file) or with one of the two marks.
//
// `progress` hears the scripts scanned, of all scripts LanguageScanner::forEachScript() visits;
// the update cannot be stopped halfway (what it returns is ignored).
//
// Returns whether any list changed.
bool updateLanguageLists(ProjectModel &model, const WorkProgress &progress = {});
// The same as one edit of the session ("Update language texts").
bool updateLanguageLists(ProjectSession &session, const WorkProgress &progress = {});

// Removes the mark "*NEU*" from every entry of the six origin text lists speech, offspeech,
// showinfo, textout, setstring and row, as make game does in memory before it puts the text
// markers into the game data. Voice lists, kommandos and the languages are not touched.
// Returns the number of entries changed.
int removeNewMarks(ProjectModel &model);

// The origin entry without "*NEU*" or "*CHE*" in front.
QString withoutMark(const QString &entry);

// Index of the first origin entry of the list that equals the text plain or with a mark and,
// when voiceList is not -1, whose entry at the same index of that voice list equals the voice
// entry; -1 when there is none.
int findOriginEntry(const LangLists &origin, int list, int voiceList, const QString &text,
                    const QString &voice);

} // namespace mb
