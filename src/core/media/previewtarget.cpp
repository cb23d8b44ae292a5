#include "media/previewtarget.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projecttree.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <initializer_list>

namespace mb {

namespace {

constexpr int MsgNotExistent = 116;

bool oneOf(const QString &ext, std::initializer_list<const char *> list)
{
    return std::any_of(list.begin(), list.end(), [&](const char *e) { return ext == QLatin1String(e); });
}

// The media table of a node image; -1 for anything that is not a media entry.
int mediaKindOf(int nodeImage)
{
    switch (nodeImage) {
    case nodeimage::Image: return Images;
    case nodeimage::Music: return Music;
    case nodeimage::Sound: return Sounds;
    case nodeimage::Movie: return Movies;
    default: return -1;
    }
}

} // namespace

QString previewExtension(QStringView path)
{
    return text::asciiLower(path.right(3));
}

PreviewPlayer previewPlayerFor(int nodeImage, QStringView path)
{
    const QString ext = previewExtension(path);
    // wma is offered by the sound and music file dialogs, so it is tried as well.
    const bool stream = oneOf(ext, {"wav", "ogg", "mp3", "mp2", "mp1", "wma"});
    switch (nodeImage) {
    case nodeimage::Music:
        if (stream)
            return PreviewPlayer::Stream;
        // mtm is offered by the music dialog and read by the module library like the others.
        return oneOf(ext, {".it", ".xm", "mod", "s3m", "mo3", "umx", "mtm"}) ? PreviewPlayer::Module
                                                                              : PreviewPlayer::None;
    case nodeimage::Sound:
        return stream ? PreviewPlayer::Stream : PreviewPlayer::None;
    case nodeimage::Movie:
        return ext == QLatin1String("swf") ? PreviewPlayer::FlashHeader : PreviewPlayer::Video;
    case nodeimage::Image:
        return oneOf(ext, {"bmp", "png", "jpg", "jpe", "gif", "tga"}) ||
                       text::asciiLower(path).endsWith(QLatin1String(".jpeg"))
                   ? PreviewPlayer::Image
                   : PreviewPlayer::None;
    default:
        return PreviewPlayer::None;
    }
}

PreviewTarget resolvePreview(const ProjectModel &model, int nodeImage,
                             const QString &name)
{
    PreviewTarget t;
    t.nodeImage = nodeImage;
    t.name = name;
    const int kind = mediaKindOf(nodeImage);
    if (kind >= 0) {
        const MediaTable &table = model.media[size_t(kind)];
        const QString lower = text::asciiLower(name);
        for (int slot = table.size(); slot >= 1; --slot)
            if (table.name(slot) == lower) {
                t.path = table.path(slot);
                break;
            }
    }
    const QFileInfo file(t.path);
    if (t.path.isEmpty() || !file.dir().exists() || !file.isFile()) {
        // An unknown name has no path; the name is the most the message can say then.
        t.error = Message::build(Message::Error, MsgNotExistent).add(t.path.isEmpty() ? name : t.path).add(MsgNotExistent);
        return t;
    }
    t.player = previewPlayerFor(nodeImage, t.path);
    return t;
}

QString imageLabel(const QString &path, QSize size)
{
    return path + QStringLiteral(" (") + QString::number(size.width()) + u'*' + QString::number(size.height()) + u')';
}

} // namespace mb
