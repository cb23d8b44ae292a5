#pragma once

#include "project/message.h"

#include <QString>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectSession;

// Adding, deleting and finding the translated languages (the RLang slots). Used slots are kept
// at the front, in the order the language selectors show them.

struct AddLanguageResult
{
    enum Status {
        Added,    // slot holds the new language
        Empty,    // the trimmed name is empty: nothing changed
        Exists,   // a language of that name (ASCII case-insensitive) or "origin": message set
        Invalid,  // the name holds one of ( ) { } ; or a double quote: message set
        Full,     // all 10 slots are used: nothing changed
    };
    Status status = Empty;
    int slot = 0;
    Message message; // what to show for Exists, Invalid (an error) and Full
};

// Creates a language from the name entered in the text input dialog: the name is trimmed, goes
// into the first free slot and into name list 4 (sorted again), and the language's nine lists
// become copies of the origin lists with the "*NEU*" / "*CHE*" marks left out, so that every
// entry starts as the untranslated text.
AddLanguageResult addLanguage(ProjectModel &model, const QString &enteredName);

// Deletes the language in the slot (1..10): its name leaves name list 4, its lists are
// cleared, and the languages after it move down one slot. Returns false, changing nothing, for
// a slot that is out of range or free.
bool deleteLanguage(ProjectModel &model, int slot);

// The two as edits of the session (one undo step each).
AddLanguageResult addLanguage(ProjectSession &session, const QString &enteredName);
bool deleteLanguage(ProjectSession &session, int slot);

// Slot of the language with the name (ASCII case-insensitive), 0 for "origin", -1 when there
// is no such language.
int findLanguage(const ProjectModel &model, const QString &name);

} // namespace mb
