#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace mb {

// Whole handlers the script editor inserts from its presets menu: the built-in ones for items,
// objects, rooms, characters and textscenes, and the author's own from presets.txt in the editor
// folder.
//
// presets.txt: a line whose first seven characters are "preset " (ASCII case-insensitive) starts a
// preset, the rest of the line is its menu caption; the lines after it, up to the next such line or
// the end of the file, are the preset. Lines before the first preset belong to none and are
// ignored. The file may be UTF-8 or Windows-1252 (taken as UTF-8 when it decodes as UTF-8), with
// LF or CR LF line ends.
namespace presets {

// The item handlers; `itemName` goes into its link (empty unless an item script is open).
QStringList item(const QString &itemName);
QStringList object();
// Empty enter, loop1, loop2 and exit handlers.
QStringList room();
// The character handlers; `instanceName` is the open character placement's (or empty).
QStringList character(const QString &instanceName);
// A textscene level with `rows` rows (1..9; other counts are clamped).
QStringList textscene(int rows);

struct Custom
{
    QString caption;
    QStringList lines;
    bool operator==(const Custom &) const = default;
};

// The presets of the file's lines, in file order.
QList<Custom> parse(const QStringList &lines);
// The presets of a file; none when it is missing or unreadable.
QList<Custom> read(const QString &path);
// <editorFolder>/presets.txt
QString filePath(const QString &editorFolder);

} // namespace presets

} // namespace mb
