#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace mb {

// Replaces the icon of a Windows program file (PE32 or PE32+), as make game does for the game's
// program and settings program: the icon resource (type RT_ICON = 3) with identifier 1 gets the
// first image of an icon file, in language 1031; the group-icon resource and every other
// resource stay as they are.
//
// The resource section is rebuilt from the tree read out of the program, so an icon of any size
// fits: the new section is written in the place of the old one when it fits there or when it is
// the last thing in the file, otherwise as a new section after the others. Every offset, size
// and count of the program and icon files is checked against the file before it is used, and
// the patched program is read back before it is accepted: a file that does not hold what it
// claims is left alone and the error says why.
class PeIcon
{
public:
    static constexpr quint32 RtIcon = 3;
    static constexpr quint32 IconId = 1;
    // The language the icon is written in; icon 1 in any other language the program has gets the
    // same image, so no language shows the old icon.
    static constexpr quint32 Language = 1031;

    // The first image of an icon file: the bytes at the offset and size of the first entry of the
    // icon directory. nullopt when the data is no icon file or the entry points outside it.
    static std::optional<QByteArray> firstIconImage(const QByteArray &iconFile);

    // The data of icon resource 1 of a program image (language 1031, else the first language);
    // nullopt when it has none or is no PE file.
    static std::optional<QByteArray> iconResource(const QByteArray &program);

    // Puts `image` in as icon resource 1 (added when the program has none). A non-zero header
    // checksum is recomputed. Returns false with `error` set and leaves `program` unchanged when
    // the program is no PE file this can patch.
    static bool replaceIconResource(QByteArray &program, const QByteArray &image, QString *error = nullptr);

    // The file-level step: replaces icon 1 of the program file with the first image of the icon
    // file, writing the program through a temporary file. On failure the program is unchanged
    // and `error` names the file and what is wrong.
    static bool replaceProgramIcon(const QString &programFile, const QString &iconFile, QString *error = nullptr);
};

} // namespace mb
