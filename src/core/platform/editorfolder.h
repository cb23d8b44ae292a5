#pragma once

#include <QString>

namespace mb {

// The editor folder holds config.ini, backups/, presets.txt, Manual.html and the runtime files.
// It is the folder of the running program unless the environment variable MOSSBRAMBLE_HOME
// names another one. Call after QCoreApplication exists.
QString defaultEditorFolder();

} // namespace mb
