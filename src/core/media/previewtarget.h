#pragma once

#include "project/message.h"

#include <QSize>
#include <QString>
#include <QStringView>

namespace mb {

class MessageCatalog;
class ProjectModel;

// How the preview presents a media entry.
enum class PreviewPlayer {
    None,        // a type the preview does not load (it says so)
    Image,       // decoded and shown with its size
    Stream,      // sound or music file played by the media player
    Module,      // tracker module rendered by the module decoder into an audio sink
    Video,       // played in the video widget
    FlashHeader, // no player: the movie's header is shown
};

// The preview's view of a path's type: its last three characters, lower-cased (".xm", "ogg").
QString previewExtension(QStringView path);

// The player for a media entry by its node image (nodeimage::Image, Music, Sound, Movie) and
// its file's path. Music plays streams (wav, ogg, mp3, mp2, mp1, wma) and modules (.it, .xm,
// mod, s3m, mo3, umx, mtm); sounds only streams; every movie but a Flash movie is a video.
PreviewPlayer previewPlayerFor(int nodeImage, QStringView path);

// What the media tree asks the preview to show: a media entry's name and node image, or the
// name "free" for nothing. A later request replaces an earlier one.
struct PreviewRequest
{
    QString name;
    int nodeImage = 0;
    bool isFree() const { return name == QLatin1String("free"); }
    bool operator==(const PreviewRequest &) const = default;
    static PreviewRequest free() { return {QStringLiteral("free"), 0}; }
};

// A preview request resolved against the project.
struct PreviewTarget
{
    int nodeImage = 0;
    QString name;
    QString path;                          // the stored path; empty when the name is unknown
    PreviewPlayer player = PreviewPlayer::None;
    Message error;                         // set when the file is missing: "path is not existent."
    bool ok() const { return error.isEmpty(); }
};

// Looks the name up in the media table of the node's kind (the last entry whose stored name is
// the lower-cased name) and checks that its file exists.
PreviewTarget resolvePreview(const ProjectModel &model, int nodeImage, const QString &name);

// The label of a shown image: path + " (" + width + "*" + height + ")".
QString imageLabel(const QString &path, QSize size);

} // namespace mb
