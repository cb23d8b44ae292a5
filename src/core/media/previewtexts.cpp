#include "media/previewtexts.h"

#include <array>
#include <utility>

namespace mb {

namespace {

using Pair = std::pair<const char *, const char *>; // English, German (UTF-8)

constexpr std::array kTexts = {
    Pair{"No audio output device: sound and music cannot be heard here.",
         "Kein Audio-Ausgabegerät: Sounds und Musik sind hier nicht zu hören."},
    Pair{"Audio output failed: %1", "Audioausgabe fehlgeschlagen: %1"},
    Pair{"%1 is not a sound or music type the preview can play.",
         "%1 ist kein Sound- oder Musiktyp, den die Vorschau abspielen kann."},
    Pair{"%1 is not an image type the preview can show.",
         "%1 ist kein Bildtyp, den die Vorschau zeigen kann."},
    Pair{"%1 cannot be read as an image: %2", "%1 kann nicht als Bild gelesen werden: %2"},
    Pair{"%1 cannot be read as a music module: %2", "%1 kann nicht als Musikmodul gelesen werden: %2"},
    Pair{"%1 cannot be played: %2", "%1 kann nicht abgespielt werden: %2"},
    Pair{"Flash movies cannot be played here; this is the movie's header.",
         "Flash-Filme können hier nicht abgespielt werden; dies ist der Kopf des Films."},
    Pair{"Play from the start (Space)", "Von Anfang an abspielen (Leertaste)"},
    Pair{"Stop (Space)", "Anhalten (Leertaste)"},
    Pair{"Version: %1", "Version: %1"},
    Pair{"Stage: %1 x %2 pixels", "Bühne: %1 x %2 Pixel"},
    Pair{"Frame rate: %1 frames per second", "Bildrate: %1 Bilder pro Sekunde"},
    Pair{"Frames: %1", "Bilder: %1"},
    Pair{"Compression: %1", "Kompression: %1"},
    Pair{"none", "keine"},
    Pair{"zlib", "zlib"},
    Pair{"LZMA", "LZMA"},
    Pair{"%1 is not a Flash movie (it does not start with FWS, CWS or ZWS).",
         "%1 ist kein Flash-Film (er beginnt nicht mit FWS, CWS oder ZWS)."},
    Pair{"%1 is truncated: its header ends at byte %2.",
         "%1 ist abgeschnitten: sein Kopf endet bei Byte %2."},
    Pair{"%1 is damaged: its length field (%2 bytes) cannot hold the header.",
         "%1 ist beschädigt: seine Längenangabe (%2 Bytes) fasst den Kopf nicht."},
    Pair{"%1 is truncated: it holds %2 of the %3 bytes its header names.",
         "%1 ist abgeschnitten: er enthält %2 der %3 Bytes, die sein Kopf nennt."},
    Pair{"%1 is damaged: its zlib data cannot be unpacked at byte %2 (%3).",
         "%1 ist beschädigt: seine zlib-Daten lassen sich bei Byte %2 nicht entpacken (%3)."},
    Pair{"%1 is damaged: its LZMA data cannot be unpacked at byte %2 (%3).",
         "%1 ist beschädigt: seine LZMA-Daten lassen sich bei Byte %2 nicht entpacken (%3)."},
    Pair{"%1 is damaged: its stage rectangle is inverted.",
         "%1 ist beschädigt: sein Bühnenrechteck ist verdreht."},
    Pair{"%1 cannot be opened: %2", "%1 kann nicht geöffnet werden: %2"},
};
static_assert(kTexts.size() == size_t(PreviewText::SwfUnreadable) + 1, "one text per PreviewText");

} // namespace

QString previewText(PreviewText text, const QString &language)
{
    const Pair &p = kTexts[size_t(text)];
    return QString::fromUtf8(language == QLatin1String("DE") ? p.second : p.first);
}

} // namespace mb
