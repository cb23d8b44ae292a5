#include "project/uitexts.h"

namespace mb {

QString uiText(UiText text, const QString &language)
{
    struct Pair
    {
        const char *en, *de;
    };
    static const Pair texts[] = {
        {"Edit", "Bearbeiten"},
        {"Undo", "Rückgängig"},
        {"Redo", "Wiederherstellen"},
        {"Undo %1", "Rückgängig: %1"},
        {"Redo %1", "Wiederherstellen: %1"},
        {"Insert %1", "%1 einfügen"},
        {"Insert media", "Medien einfügen"},
        {"New folder", "Neuer Ordner"},
        {"Rename %1", "%1 umbenennen"},
        {"Delete %1", "%1 löschen"},
        {"Move %1", "%1 verschieben"},
        {"Duplicate %1", "%1 duplizieren"},
        {"Project settings", "Projekteinstellungen"},
        {"Commands and bools", "Befehle und Bools"},
        {"Add bool %1", "Bool %1 hinzufügen"},
        {"Rename bool %1", "Bool %1 umbenennen"},
        {"Remove bool %1", "Bool %1 entfernen"},
        {"Set bool %1", "Bool %1 setzen"},
        {"Change font %1", "Schrift %1 ändern"},
        {"Add font", "Schrift hinzufügen"},
        {"Remove font %1", "Schrift %1 entfernen"},
        {"Move font %1", "Schrift %1 verschieben"},
        {"Add language %1", "Sprache %1 hinzufügen"},
        {"Delete language %1", "Sprache %1 löschen"},
        {"Translate", "Übersetzen"},
        {"Update language texts", "Sprachtexte aktualisieren"},
        {"Mark new texts as seen", "Neue Texte als gesehen markieren"},
        {"Import room %1", "Raum %1 importieren"},
        {"Import character %1", "Charakter %1 importieren"},
        {"Repair missing files", "Fehlende Dateien reparieren"},
        {"Frame script line", "Skriptzeile des Frames"},
        {"Replace in scripts", "In Skripten ersetzen"},
        {"Edit script %1", "Skript %1 bearbeiten"},
        {"Make game", "Spiel erstellen"},
    };
    static_assert(sizeof(texts) / sizeof(texts[0]) == int(UiText::MakeGame) + 1, "one pair per text");
    const Pair &p = texts[int(text)];
    return QString::fromUtf8(language == QLatin1String("DE") ? p.de : p.en);
}

} // namespace mb
