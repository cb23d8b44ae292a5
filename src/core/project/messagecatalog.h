#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// The numbered user-interface texts (1..562) in English and German, and a second numbered
// table of the editor's own for the texts the first one lacks (1..extraCount(), see ExtraText).
//
// The texts are kept as resource files in the "NNN:text" form, one line per entry; msg() strips
// the number and the colon. A language other than "EN" or "DE" falls back to English, and so does
// a number outside 1..count() (which yields an empty text).
class MessageCatalog
{
public:
    static constexpr int count() { return 562; }

    explicit MessageCatalog(const QString &language = QStringLiteral("EN"));

    QString language() const { return m_language; }
    void setLanguage(const QString &language) { m_language = language; }

    // Text n in the current language; empty for a number out of range.
    QString msg(int n) const;
    // Text n in the given language ("EN", "DE"; anything else gives English).
    QString msg(int n, const QString &language) const;

    // The raw lines ("001:1) CHARACTER") of a language; used by tests and the catalog checks.
    static const QStringList &lines(const QString &language);

    // Text n of the second table, in the current or the given language, the same way; %1 ...
    // mark the pieces the caller puts in, and "\n" in the file is a line break.
    QString extra(int n) const;
    QString extra(int n, const QString &language) const;
    static const QStringList &extraLines(const QString &language);
    static int extraCount();

private:
    QString m_language;
};

// Numbers of the second table.
namespace extratext {
enum : int {
    MissingSearchProgress = 1, // folders searched, entries still missing
    TooManyTexts = 2,          // text, its index, list name, highest index
    PlacementRenamed = 3,      // the new instance name
    NoWine = 4,                // game folder, program file name
    NotStartable = 5,          // game folder, program file name
    StartFailed = 6,           // the reason
    FontsFull = 7,             // the limit
    LanguagesFull = 8,         // the limit
    // Labels of the setup and font windows.
    IconLabel = 9,
    MenuFadeLabel = 10,
    SceneFadeLabel = 11,
    TextsceneLabel = 12,
    StyleLabel = 13,
    BorderLabel = 14,
    MultipleChoiceLabel = 15,
    FadeLabel = 16,
    FontStyleLabel = 17,
    FadingLabel = 18,
    GameFilter = 19,
    NoRuntime = 20,       // missing files, "was"/"were" sentence part chosen by count, editor folder
    NoRuntimeMany = 21,   // the same for more than one file
    RuntimeNotCopied = 22, // the copy errors
    // The main window's desktop features.
    OpenRecent = 23,       // Project menu: the submenu of recent projects
    ClearRecent = 24,      // its last entry
    NoRecent = 25,         // the disabled entry of an empty list
    RestoreQuestion = 26,  // project name, time of the recovery copy
    RestoreTitle = 27,
    MissingColumnName = 28, // the list of missing files
    MissingColumnKind = 29,
    MissingColumnStoredPath = 30,
    SearchingFolder = 31,  // entries still missing, the folder being searched
    Cancel = 32,
    NothingWritten = 33,   // the end of an export or import that was cancelled
    // File filters of the project and exchange files.
    ProjectFilter = 34,
    ExportFilter = 35,
    CharacterExportFilter = 36,
    RoomExportFilter = 37,
    // Progress of opening and saving.
    OpeningProject = 38,   // the project file's name
    SavingProject = 39,    // the project's name
    OpenCancelled = 40,    // the end of an open that was cancelled
};
} // namespace extratext

} // namespace mb
