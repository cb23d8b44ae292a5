#pragma once

#include <QString>

namespace mb::cli {

struct Context;

// Checks of the file names given on the command line, made before a command touches anything.
// Each prints what is wrong to the error stream and returns false; the command then exits with
// Usage, as for any unusable input.

// An input file must exist and be a file (not a folder).
bool requireInputFile(Context &ctx, const QString &path);
// An output file name must not be empty and must not name a folder.
bool requireOutputFile(Context &ctx, const QString &path);

} // namespace mb::cli
