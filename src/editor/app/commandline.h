#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// What the editor's command line asks for.
struct StartupArguments
{
    // The project file to open; empty when none was given. A shell splits a path with blanks
    // into several parameters, so up to nine parameters are joined again with single blanks.
    QString projectPath;
    // "-16bit": the room editor draws with 16-bit colour.
    bool sixteenBit = false;
};

// `args` without the program name. The switch "-16bit" may stand anywhere and is not part of the
// path.
StartupArguments parseStartupArguments(const QStringList &args);

} // namespace mb
