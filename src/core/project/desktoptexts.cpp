#include "project/desktoptexts.h"

#include "project/messagecatalog.h"

#include <array>

namespace mb {

namespace {

struct Pair
{
    const char *english;
    const char *german;
};

constexpr std::array<Pair, size_t(DesktopText::Count)> kTexts = {{
    {"Open Recent", "Zuletzt geöffnet"},
    {"Clear List", "Liste leeren"},
    {"(none)", "(keine)"},
    {"The editor did not end properly last time. Unsaved changes of \"%1\" were kept at %2.\n\n"
     "Restore them? The project file itself stays as it is until you save.",
     "Der Editor wurde beim letzten Mal nicht richtig beendet. Ungesicherte Änderungen an \"%1\" "
     "wurden um %2 aufbewahrt.\n\nSollen sie wiederhergestellt werden? Die Projektdatei selbst "
     "bleibt unverändert, bis Sie speichern."},
    {"Restore Unsaved Changes", "Ungesicherte Änderungen wiederherstellen"},
    {"Name", "Name"},
    {"Kind", "Art"},
    {"Stored path", "Gespeicherter Pfad"},
    {"%1 missing, searching %2", "%1 fehlen, durchsuche %2"},
    {"Cancel", "Abbrechen"},
    {"Cancelled; nothing was written.", "Abgebrochen; es wurde nichts geschrieben."},
}};

} // namespace

QString desktopText(DesktopText text, const MessageCatalog &catalog)
{
    const Pair &p = kTexts[size_t(text)];
    return QString::fromUtf8(catalog.language() == QLatin1String("DE") ? p.german : p.english);
}

} // namespace mb
