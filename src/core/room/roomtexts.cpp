#include "room/roomtexts.h"

#include "project/messagecatalog.h"

#include <array>

namespace mb {

namespace {

struct Pair
{
    const char *english;
    const char *german;
};

constexpr std::array<Pair, size_t(RoomText::Count)> kTexts = {{
    {"Snap to Walkmap", "Auf Walkmap einrasten"},
    {"FX Shape %1", "FX-Form %1"},
    {"Zoom :", "Zoom :"},
    {"Fit", "Einpassen"},
    {"Grid", "Raster"},
    {"Place %1", "%1 platzieren"},
    {"Move %1", "%1 verschieben"},
    {"Remove %1", "%1 entfernen"},
    {"Change the order of %1", "Reihenfolge von %1 ändern"},
    {"Change %1", "%1 ändern"},
    {"Paint the walkmap", "Walkmap malen"},
    {"Walkmap script", "Walkmap-Skript"},
    {"Move the depth lines", "Tiefenlinien verschieben"},
    {"Change the inventory field", "Inventarfeld ändern"},
    {"Change FX shape %1", "FX-Form %1 ändern"},
    {"Change the background", "Hintergrund ändern"},
    {"Change the room size", "Raumgröße ändern"},
    {"Scroll the room", "Raum verschieben"},
}};

} // namespace

QString roomText(RoomText text, const MessageCatalog &catalog)
{
    const Pair &p = kTexts[size_t(text)];
    return QString::fromUtf8(catalog.language() == QLatin1String("DE") ? p.german : p.english);
}

} // namespace mb
