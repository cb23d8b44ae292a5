#pragma once

#include <QString>

namespace mb {

class MessageCatalog;

// Texts of the main window's desktop features that the numbered message catalog does not hold
// (recent projects, recovery of unsaved work, the missing-files list and its search), in English and German.
enum class DesktopText {
    OpenRecent,      // Project menu: the submenu of recent projects
    ClearRecent,     // its last entry
    NoRecent,        // the disabled entry of an empty list
    RestoreQuestion, // "%1" project name, "%2" time of the recovery copy
    RestoreTitle,
    ColumnName,      // the missing-files list
    ColumnKind,
    ColumnStoredPath,
    SearchProgress,  // "%1" entries still missing, "%2" the folder being searched
    Cancel,
    Cancelled,       // the end of an export or import that was cancelled
    Count
};

// The text in the catalog's current language (German for "DE", else English).
QString desktopText(DesktopText text, const MessageCatalog &catalog);

} // namespace mb
