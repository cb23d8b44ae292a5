#pragma once

#include <QString>

namespace mb {

// Texts of the media preview that the numbered message catalog does not hold, in English and
// German. "%1", "%2" ... are filled in by the caller with QString::arg.
enum class PreviewText {
    // notes shown in the window
    NoAudioDevice,       // no output device: sound and music cannot be heard
    AudioFailed,         // %1 = the output's error
    NotPlayable,         // %1 = file: a sound or music type the preview does not play
    NotShowable,         // %1 = file: an image type the preview does not decode
    ImageUnreadable,     // %1 = file, %2 = the decoder's reason
    ModuleUnreadable,    // %1 = file, %2 = the library's reason
    MediaUnreadable,     // %1 = file, %2 = the player's reason
    FlashNoPlayback,     // Flash movies are shown by their header only
    // buttons
    Play,
    Stop,
    // the Flash header panel
    FlashVersion,        // %1
    FlashStage,          // %1 x %2 pixels
    FlashFrameRate,      // %1 frames per second
    FlashFrames,         // %1
    FlashCompression,    // %1 = one of the three below
    CompressionNone,
    CompressionZlib,
    CompressionLzma,
    // Flash header errors; %1 = file
    SwfNotSwf,
    SwfTruncated,        // %2 = offset
    SwfBadLength,        // %2 = claimed length
    SwfShortMovie,       // %2 = bytes present, %3 = claimed length
    SwfDamagedZlib,      // %2 = offset in the file, %3 = library text
    SwfDamagedLzma,      // %2 = offset in the file, %3 = library text
    SwfInvertedStage,
    SwfUnreadable,       // %2 = system reason
};

// The text in "DE" (German) or any other code (English).
QString previewText(PreviewText text, const QString &language);

} // namespace mb
