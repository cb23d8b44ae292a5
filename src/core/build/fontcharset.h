#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// The character sets a font can be rendered in (RFont::charset is an index into this list) and
// the characters that the codes 32..255 of a set stand for.
class FontCharset
{
public:
    static constexpr int Count = 13;
    static constexpr int FirstCode = 32, LastCode = 255, CodeCount = LastCode - FirstCode + 1;

    // English label of the set ("Western", "East european", ...); empty outside 0..Count-1.
    static QString label(int index);
    // The catalog's labels of the sets are its messages from this one on, in list order.
    static constexpr int FirstLabelMessage = 390;
    // The Windows character set number the game data knows the set by (1, 238, 204, ...);
    // 0 outside the list.
    static int systemNumber(int index);
    // The single-byte (or, for Japanese, double-byte) code page as iconv names it.
    // An index outside the list gives the Western code page.
    static const char *codePage(int index);

    // CodeCount strings, one per code 32..255 in order. Codes 32..127 are ASCII in every set.
    // Codes 128..255 are converted from the set's code page; a code the page leaves undefined,
    // and a lead byte of the Japanese set, which is no character on its own, give an empty
    // string. The Symbol set passes the code through unchanged, so a symbol font finds its own
    // glyphs. If iconv lacks the code page, Windows-1252 is used instead.
    static QStringList characters(int index);
};

} // namespace mb
