#pragma once

#include <QString>

namespace mb {

// Starts a made game the way the "Start now?" answer asks for: the game's program file with the
// single parameter "-devmode", in the game folder, without waiting for it. The runtime is a
// Windows program, so on this system it is run through wine.
class GameStarter
{
public:
    struct Result
    {
        bool started = false;
        QString message; // why the game was not started; empty when it was
    };

    // True when the file starts with an MS-DOS header whose e_lfanew points at a "PE\0\0"
    // signature.
    static bool isWindowsProgram(const QString &path);

    // The wine program that start() would use: `wine` when it is an executable file, else when
    // `wine` is empty the one found in PATH; empty when there is none.
    static QString findWine(const QString &wine = {});

    // Starts `programFile` in `folder`. `wine` is the wine program to use; empty looks it up in
    // PATH. The message names the reason when the program is missing, is no Windows program, or
    // wine is not installed or cannot be started.
    static Result start(const QString &programFile, const QString &folder, const QString &wine = {});
};

} // namespace mb
