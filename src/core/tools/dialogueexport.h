#pragma once

#include "tools/languagetextfile.h"

#include <QString>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectSession;

struct DialogueExportOptions
{
    QString folder;                 // created when missing
    int languageSlot = 0;           // 0: the origin texts; 1..10: that language's translations
    bool includeVoiceNames = false; // lines read "(voice) - text"; enables the three below
    bool forgotten = true;          // texts without a voice file go to vergessen.txt
    bool dedupe = true;             // a voice file already written is not written again
    bool skipExisting = true;       // a voice file that is a sound of the media pool is skipped
};

// Writes the dialogues of the scripts into text files for the voice recording.
//
// The scripts are read in LanguageScanner's source order; of each script line only its first
// speech or offspeech call with a text counts. With a language selected, text and voice are
// that language's entries at the index of the origin entry with the call's text and voice
// entry, when there is one. A speech line goes to <character>.txt, an offspeech line to
// offspeech.txt: "(" + voice + ") - " + text with voice names, " - " + text without. With voice
// names, a call without voice file goes only to vergessen.txt (its text alone, when `forgotten`
// is on), and calls skipped by `skipExisting` or `dedupe` are not written at all.
//
// vergessen.txt and offspeech.txt are removed first; a character's file is replaced the first
// time the character speaks (character names that differ only in ASCII letter case share the
// file named after the first one; characters that cannot stand in a file name become "_").
// Other files in the folder are left alone. Files are Windows-1252 with CR LF. On a file error
// the export stops; the files already written stay.
ToolFilesResult exportDialogues(const ProjectModel &model, const DialogueExportOptions &options);

// The file that gets the texts without a voice file.
QString forgottenDialogueFile();

// The label of the option that writes it: the catalog's text (446), naming the file written.
QString forgottenDialogueOption(const MessageCatalog &catalog);

// The default target folder: the project folder (the editor folder while the project was never
// saved) + the catalog's "Dialogues" (443).
QString defaultDialogueFolder(const ProjectSession &session);

} // namespace mb
