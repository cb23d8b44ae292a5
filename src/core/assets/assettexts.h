#pragma once

#include <QString>

namespace mb {

// Texts of the asset editors that the numbered message catalog does not hold (undo steps, the
// frame files menu and its reports), in English and German. "%1", "%2" are filled in by the
// caller with QString::arg.
enum class AssetText {
    // undo steps
    UndoDropImage,     // %1 image name
    UndoMoveImage,
    UndoRemoveImage,
    UndoMoveFrame,
    UndoCopyFrame,
    UndoCopyState,     // %1 from, %2 to
    UndoDropSound,     // %1 sound name
    UndoSpeed,
    UndoSize,
    UndoFootPoint,
    UndoClickPoint,
    UndoCommand,
    UndoCharacterField, // a field of the lower panel (colour, walk speed, font, sound, flags, zoom)
    UndoObjectEffect,
    UndoActionMenu,    // %1 the menu entry
    UndoAddFrames,     // %1 count
    UndoMouseSetting,
    // the state menu
    AddFramesFromFiles,
    AddFramesFromFolder,
    CutSpriteSheet,
    SheetColumns,
    SheetRows,
    ImageFiles,        // file dialog filter name
    // reports; %1 file, %2 detail
    SheetUnreadable,
    SheetGridTooFine,  // %1 file, %2 columns, %3 rows
    SheetFileExists,
    SheetWriteFailed,
    FramesLeftOver,    // %1 count of images without a free frame
    FileRefused,       // %1 file, %2 reason (the media tree's message)
    PlayTip,
};

// The text in "DE" (German) or any other code (English).
QString assetText(AssetText text, const QString &language);

} // namespace mb
