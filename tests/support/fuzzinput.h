#pragma once
// The input form of the project reader's fuzz target: the four companion files one after the
// other, separated by a marker line. Shared by the fuzz target and the test that replays its
// corpus.

#include "project/projectfile.h"

#include <QByteArray>

namespace mb::testing {

inline constexpr char kFuzzSeparator[] = "\n--8<-- next companion file --8<--\n";

inline CompanionFiles splitFuzzInput(const QByteArray &data, bool *hasLanguageFile)
{
    CompanionFiles files;
    qsizetype start = 0;
    int i = 0;
    for (; i < 4; ++i) {
        const qsizetype at = data.indexOf(kFuzzSeparator, start);
        files.files[i] = data.mid(start, at < 0 ? -1 : at - start);
        if (at < 0)
            break;
        start = at + qsizetype(sizeof(kFuzzSeparator) - 1);
    }
    *hasLanguageFile = i >= 3;
    return files;
}

inline QByteArray joinFuzzInput(const CompanionFiles &files)
{
    QByteArray out;
    for (int i = 0; i < 4; ++i) {
        if (i)
            out += kFuzzSeparator;
        out += files.files[i];
    }
    return out;
}

} // namespace mb::testing
