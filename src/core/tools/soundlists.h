#pragma once

#include "tools/languagetextfile.h"

#include <QString>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectSession;

struct SoundListOptions
{
    QString folder; // created when missing
    bool playsound = true;  // sounds.txt
    bool loopsound = true;  // loopsounds.txt
    bool playmusic = true;  // musictracks.txt
    bool skipPooled = false; // leave out names that the media pool already holds
};

// Lists the sound and music files the scripts ask for, so that they can be made or collected.
//
// For each chosen kind its file is removed first. The scripts are read in LanguageScanner's
// source order; the name of a playsound, loopsound or playmusic call is its argument 1,
// lower-cased. A name is listed once in the whole run (one set for the three files), never when
// empty, and with skipPooled not when it is a name of the media pool's sound table (playsound,
// loopsound) or music table (playmusic). Each listed name is the line " - " + name in its kind's
// file; a kind without names gets no file. Windows-1252 with CR LF; on a file error the
// operation stops and the files already written stay.
ToolFilesResult createSoundLists(const ProjectModel &model, const SoundListOptions &options);

// The default target folder: the project folder (the editor folder while the project was never
// saved) + the catalog's "Soundlists" (542).
QString defaultSoundListFolder(const ProjectSession &session);

} // namespace mb
