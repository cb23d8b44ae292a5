#pragma once

#include <QString>

namespace mb {

// The questions make game asks on its way. The editor answers them with message boxes and the
// file dialog, the command line with its arguments and flags, tests with a script. The texts are
// the whole message box texts in the catalog's language; the caption of the two Yes/No
// questions is "Confirmation" (365).
class BuildQuestions
{
public:
    virtual ~BuildQuestions() = default;

    // "Update previously created game?" (123), asked when a game was made from this project
    // before. Yes makes the game again in the last game folder under projectname + ".exe".
    virtual bool updatePreviousGame(const QString &text) = 0;

    // The game's program file, chosen in a save dialog that suggests `suggestedName`
    // (projectname + ".exe") in `initialFolder` (the last game folder, may be empty). An empty
    // result cancels the build.
    virtual QString chooseProgramFile(const QString &suggestedName, const QString &initialFolder) = 0;

    // "Game was created under <file> ." + two line breaks + "Start now?" (134, 135, 136).
    virtual bool startNow(const QString &text) = 0;
};

} // namespace mb
