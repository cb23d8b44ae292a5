#include "assets/assettexts.h"

namespace mb {

namespace {

struct Pair
{
    AssetText id;
    const char *en;
    const char *de;
};

// German texts are UTF-8.
constexpr Pair kTexts[] = {
    {AssetText::UndoDropImage, "Drop image %1", "Bild %1 ablegen"},
    {AssetText::UndoMoveImage, "Move image", "Bild verschieben"},
    {AssetText::UndoRemoveImage, "Remove image", "Bild entfernen"},
    {AssetText::UndoMoveFrame, "Move frame", "Frame verschieben"},
    {AssetText::UndoCopyFrame, "Copy frame", "Frame kopieren"},
    {AssetText::UndoCopyState, "Copy state %1 to %2", "Zustand %1 nach %2 kopieren"},
    {AssetText::UndoDropSound, "Sound %1 on frame", "Sound %1 auf Frame"},
    {AssetText::UndoSpeed, "Animation speed", "Animationsgeschwindigkeit"},
    {AssetText::UndoSize, "Size", "Größe"},
    {AssetText::UndoFootPoint, "Foot point", "Fußpunkt"},
    {AssetText::UndoClickPoint, "Click point", "Klickpunkt"},
    {AssetText::UndoCommand, "Cursor command", "Befehl des Mauszeigers"},
    {AssetText::UndoCharacterField, "Character settings", "Charaktereinstellungen"},
    {AssetText::UndoObjectEffect, "Lighten object", "Objekt aufhellen"},
    {AssetText::UndoActionMenu, "%1", "%1"},
    {AssetText::UndoAddFrames, "Add %1 frames", "%1 Frames hinzufügen"},
    {AssetText::UndoMouseSetting, "Mouse settings", "Mauseinstellungen"},
    {AssetText::AddFramesFromFiles, "Add frames from files...", "Frames aus Dateien hinzufügen..."},
    {AssetText::AddFramesFromFolder, "Add frames from a folder...", "Frames aus einem Ordner hinzufügen..."},
    {AssetText::CutSpriteSheet, "Cut a sprite sheet into frames...", "Sprite-Sheet in Frames zerlegen..."},
    {AssetText::SheetColumns, "Columns:", "Spalten:"},
    {AssetText::SheetRows, "Rows:", "Zeilen:"},
    {AssetText::ImageFiles, "Images", "Bilder"},
    {AssetText::SheetUnreadable, "%1 cannot be read: %2", "%1 kann nicht gelesen werden: %2"},
    {AssetText::SheetGridTooFine, "%1 is too small for %2 x %3 frames.", "%1 ist zu klein für %2 x %3 Frames."},
    {AssetText::SheetFileExists, "%1 exists already; nothing was written.", "%1 gibt es schon; nichts wurde geschrieben."},
    {AssetText::SheetWriteFailed, "%1 cannot be written: %2", "%1 kann nicht geschrieben werden: %2"},
    {AssetText::FramesLeftOver, "%1 images found no free frame and were left out.",
     "%1 Bilder fanden keinen freien Frame und wurden ausgelassen."},
    {AssetText::FileRefused, "%1: %2", "%1: %2"},
    {AssetText::PlayTip, "Test Animation", "Animation testen"},
};

} // namespace

QString assetText(AssetText text, const QString &language)
{
    const bool german = language == QLatin1String("DE");
    for (const Pair &p : kTexts)
        if (p.id == text)
            return QString::fromUtf8(german ? p.de : p.en);
    return {};
}

} // namespace mb
