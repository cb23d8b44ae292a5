#pragma once

#include <QString>

namespace mb {

// The editor folder holds config.ini, backups/, presets.txt and the runtime files that make game
// copies. It is, in this order:
//   1. the folder the environment variable MOSSBRAMBLE_HOME names;
//   2. the folder of the running program, when the program runs from a folder of its own (a
//      build folder, an unpacked copy) that the user can write to;
//   3. otherwise (installed under a system prefix, or read-only) "mossbramble" in the user's
//      data home (~/.local/share/mossbramble, or $XDG_DATA_HOME/mossbramble), created on demand.
// Call after QCoreApplication exists.
QString defaultEditorFolder();

// The rule above without the environment: `home` is MOSSBRAMBLE_HOME (empty when unset),
// `programFolder` the program's folder, `dataHome` the user's data home. Creates the folder of
// case 3 when it is missing.
QString chooseEditorFolder(const QString &home, const QString &programFolder, const QString &dataHome);

// True when `programFolder` is the bin/ folder of an installation: its sibling
// share/mossbramble exists.
bool isInstalledLayout(const QString &programFolder);

// Read-only data shipped with the program (the manual): the installation's share/mossbramble
// when the program is installed, else the program's folder.
QString programDataFolder();

} // namespace mb
