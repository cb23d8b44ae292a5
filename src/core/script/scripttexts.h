#pragma once

#include <QString>

namespace mb {

class MessageCatalog;

// Texts of the script editor and the script search that the numbered message catalog does not
// hold (find and replace, the search results, undo texts), in English and German.
enum class ScriptText {
    SearchSummary,   // "%1 hits in %2 scripts"
    TabsNotAllowed,  // "TABs not allowed!!"
    Find,            // menu and dialog title
    Replace,
    FindInAllScripts,
    FindWhat,        // "Find:"
    ReplaceWith,     // "Replace with:"
    MatchCase,
    WholeWord,
    FindNext,
    FindPrevious,
    ReplaceAll,
    ReplaceInAllScripts, // button of the search results
    NotFound,        // "\"%1\" not found."
    ReplacedCount,   // "%1 replaced."
    SearchResults,   // dock title
    ColumnScript,
    ColumnLine,
    ColumnText,
    UndoEditScript,      // "Edit %1" (the script's title)
    UndoReplaceInScripts, // "Replace \"%1\" in all scripts"
    RecentScripts,   // tooltip of the recent button
    ShowHints,       // tooltip of "?"
    FontTip,         // tooltip of "A"
    UndoTip,
    InstantUpdateTip,
    FrameLineElsewhere, // status text: frame lines are edited in their element's editor
    Count
};

// The text in the catalog's current language (German for "DE", else English).
QString scriptText(ScriptText text, const MessageCatalog &catalog);

} // namespace mb
