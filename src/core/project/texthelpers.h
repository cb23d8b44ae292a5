#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace mb {

class MediaTable;

// The small text and path functions every part of the editor shares. Positions count from 1;
// a "field" is a ";"-separated part of a line. Stored paths may come from Windows or Linux, so
// the path helpers split on both "\" and "/".
namespace text {

// The escaped ";" of frame script lines (the byte 0xAF of the project files).
inline constexpr QChar kEscapedSemicolon = QChar(0x00AF);

// k-th field, characters as they are; empty when the line has fewer fields.
QString getfield(QStringView line, int k);
// k-th field with leading/trailing blanks removed, then one leading and one trailing '"' removed.
QString getfieldtrim(QStringView line, int k);
// As getfieldtrim; the separator is ";" when separatorChoice is 1, otherwise the byte 0xAF.
QString getfieldtrimsep(QStringView line, int k, int separatorChoice);
// The characters after the first "(" up to the next ")" (or the end); empty without "(".
QString inbrackets(QStringView text);
// Everything after the last path separator; empty when there is none.
QString filepart(QStringView path);
// Everything before the last path separator (without it); empty when there is none.
QString folderpart(QStringView path);
QString escapesemi(QString text);
QString unescapesemi(QString text);
QString commatopoint(QString text);

// ASCII-only case folding and comparison, so that names in files made elsewhere keep matching.
QString asciiLower(QStringView text);
bool sameText(QStringView a, QStringView b);
int compareText(QStringView a, QStringView b);

// The media entry name of a file: no folder, no extension, lower-cased. A dot three characters
// before the end marks a three-letter extension, else a dot four before the end a four-letter
// one; otherwise the last three characters are cut.
QString medianame(QStringView fileName);

// Number of the last slot of the table whose name equals the file name with its extension
// stripped (three letters when a dot stands four characters before the end, else two) and
// lower-cased; -1 when none.
int mediaindex(const MediaTable &table, QStringView fileName);

// True when a file cannot be created in the folder. Does not change the current directory.
bool folderreadonly(const QString &folder);

} // namespace text
} // namespace mb
