#pragma once

#include <QString>

namespace mb {

// Texts of the editor that the message catalog does not have (the catalog's numbers 1-562 stay
// as they are): the Edit menu and the undo steps. English and German, like the catalog; a text
// with "%1" takes the name of what the step changed.
enum class UiText {
    EditMenu,
    Undo,
    Redo,
    UndoStep,   // "Undo %1"
    RedoStep,   // "Redo %1"
    Insert,     // an element or media entry, with its name
    InsertMedia,
    NewFolder,
    Rename,
    Delete,
    Move,
    Duplicate,
    ProjectSettings,
    CommandsAndBools,
    AddBool,
    RenameBool,
    RemoveBool,
    SetBool,
    ChangeFont,
    AddFont,
    RemoveFont,
    MoveFont,
    AddLanguage,
    DeleteLanguage,
    Translate,
    UpdateLanguageTexts,
    MarkTextsSeen,
    ImportRoom,
    ImportCharacter,
    RepairMissingFiles,
    FrameScriptLine,
    ReplaceInScripts,
    EditScript, // typing into one script: "Edit script %1" with the script's title
    MakeGame,
};

// The text in the language ("EN" or "DE"; anything else gives English).
QString uiText(UiText text, const QString &language);

} // namespace mb
