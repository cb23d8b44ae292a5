#include "script/scripttexts.h"

#include "project/messagecatalog.h"

#include <array>

namespace mb {

namespace {

struct Pair
{
    const char *english;
    const char *german;
};

constexpr std::array<Pair, size_t(ScriptText::Count)> kTexts = {{
    {"%1 hits in %2 scripts", "%1 Treffer in %2 Skripten"},
    {"TABs not allowed!!", "TABs not allowed!!"},
    {"Find", "Suchen"},
    {"Replace", "Ersetzen"},
    {"Find in All Scripts", "In allen Skripten suchen"},
    {"Find:", "Suchen nach:"},
    {"Replace with:", "Ersetzen durch:"},
    {"Match case", "Groß-/Kleinschreibung beachten"},
    {"Whole word", "Nur ganze Wörter"},
    {"Find Next", "Weitersuchen"},
    {"Find Previous", "Rückwärts suchen"},
    {"Replace All", "Alle ersetzen"},
    {"Replace in All Scripts", "In allen Skripten ersetzen"},
    {"\"%1\" not found.", "\"%1\" nicht gefunden."},
    {"%1 replaced.", "%1 ersetzt."},
    {"Search Results", "Suchergebnisse"},
    {"Script", "Skript"},
    {"Line", "Zeile"},
    {"Text", "Text"},
    {"Edit %1", "%1 bearbeiten"},
    {"Replace \"%1\" in all scripts", "\"%1\" in allen Skripten ersetzen"},
    {"Recent Scripts", "Zuletzt geöffnete Skripte"},
    {"Show or hide the hints", "Hinweise zeigen oder verbergen"},
    {"Editor font", "Schrift des Editors"},
    {"Undo the last change", "Letzte Änderung rückgängig machen"},
    {"Send the script to the running game", "Das Skript an das laufende Spiel senden"},
    {"Frame lines are edited in the editor of their element.",
     "Bildzeilen werden im Editor ihres Elements bearbeitet."},
}};

} // namespace

QString scriptText(ScriptText text, const MessageCatalog &catalog)
{
    const Pair &p = kTexts[size_t(text)];
    return QString::fromUtf8(catalog.language() == QLatin1String("DE") ? p.german : p.english);
}

} // namespace mb
