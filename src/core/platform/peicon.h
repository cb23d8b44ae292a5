#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace mb {

// Replaces the icon of a Windows program file (PE32 or PE32+), as make game does for the game's
// program and settings program: the data of the icon resource (type RT_ICON = 3) with identifier
// 1 gets the first image of an icon file. The group-icon resource stays as it is, and so does
// every other resource.
//
// Every offset, size and count of the program and icon files is checked against the file before
// it is used; a file that does not hold what it claims is left alone.
class PeIcon
{
public:
    static constexpr quint32 RtIcon = 3;
    static constexpr quint32 IconId = 1;
    // The language a replaced icon is looked up in first; any other language of icon 1 is taken
    // when the program has no icon 1 in this one.
    static constexpr quint32 PreferredLanguage = 1031;

    // The first image of an icon file: the bytes at the offset and size of the first entry of the
    // icon directory. nullopt when the data is no icon file or the entry points outside it.
    static std::optional<QByteArray> firstIconImage(const QByteArray &iconFile);

    // The data of icon resource 1 of a program image; nullopt when it has none or is no PE file.
    static std::optional<QByteArray> iconResource(const QByteArray &program);

    // Puts `image` in place of the data of icon resource 1. New data that fits in the old place
    // is written there (the rest of the old place is cleared); larger data is appended to the
    // resource section when it is the last section of the file and nothing follows it, growing
    // the section and the image size. A non-zero header checksum is recomputed. Returns false and
    // leaves `program` unchanged when the program has no icon 1 or the data cannot be placed.
    static bool replaceIconResource(QByteArray &program, const QByteArray &image);

    // The file-level step: replaces icon 1 of the program file with the first image of the icon
    // file, writing the program through a temporary file. Returns whether the program was changed;
    // make game does not report a failure, the program then keeps its own icon.
    static bool replaceProgramIcon(const QString &programFile, const QString &iconFile);
};

} // namespace mb
