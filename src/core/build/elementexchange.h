#pragma once

#include "build/projectexchange.h"

#include <QByteArray>
#include <QString>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectSession;

// Moving one character (.adc) or one room (.adr) between projects.
//
// A character exchange file is a zip archive (level 9) of char.dat (the character's .002 record),
// gfx.chr (a stored zip of every image file its frames use, bare names) and list.gfx (the full
// path of each packed image in the exporting project, one per line). A room exchange file holds
// room.dat (the room's .002 record with its object placements, then the .002 record of every
// object definition placed in it), script.dat (the room's .003 sections: room script, placement
// scripts, walkmap cell scripts), gfx.roo (the background, parallax and object frame images)
// and list.gfx. Text is Windows-1252 with CR LF, in the project file's own line layouts.

// Writes the character of that name (exact) into the file (".adc" appended when missing). An
// image whose file is missing ends the export with a message naming it.
ExchangeResult exportCharacter(const ProjectModel &model, const MessageCatalog &catalog,
                               const QString &characterName, const QString &adcPath);
// Writes the room of that name into the file (".adr" appended when missing).
ExchangeResult exportRoom(const ProjectModel &model, const MessageCatalog &catalog, const QString &roomName,
                          const QString &adrPath);

// Imports a character exchange file. NAME is the file name without its last four characters;
// a character of that name, or of the name the file carries, that exists already (any case) is
// refused with NAME + " " + message 147 before anything is unpacked. The images are unpacked
// into ProjectFolder (the editor folder when the project was never saved) + "/" + NAME and
// listed in the top-level media pool folder NAME (found in any case, or created); an image whose
// name is in the media pool already keeps its entry. The character takes the first free slot
// and its node goes under the characters root. Every check (a damaged file, unsafe archive
// names, a full table) is made before anything is written; on failure the project is unchanged.
// The change is one edit of the session; saving is the caller's.
ExchangeResult importCharacter(ProjectSession &session, const QString &adcPath);

// Imports a room exchange file the same way (message 147 for a room name that exists). The room
// comes with its placements, scripts and walkmap cell scripts, and with the object definitions
// it carries: one whose name exists in the project already (any case) is not imported; the
// room's placements then show the project's own definition, and `notes` says so.
ExchangeResult importRoom(ProjectSession &session, const QString &adrPath);

// The same imports from the file's bytes in memory: `fileName` stands for the file (NAME and
// the messages come from it), nothing is read from disk, and the images are unpacked as above.
ExchangeResult importCharacter(ProjectSession &session, const QByteArray &adc, const QString &fileName);
ExchangeResult importRoom(ProjectSession &session, const QByteArray &adr, const QString &fileName);

} // namespace mb
