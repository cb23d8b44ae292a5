#pragma once

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace mb {

class MessageCatalog;
class ProjectModel;

// A decoded image as the room renderer draws it: Format_RGB32 when opaque, else
// Format_ARGB32_Premultiplied (the two formats QPainter blends fastest).
struct RoomImage
{
    QImage image;
    bool hasAlpha = false; // drawn with alpha blending rather than opaque
};

// An image that could not be shown. The text is the one the editor's error box shows.
struct ImageProblem
{
    QString name;   // image name as the room or frame gives it
    QString path;   // file path from the media table
    QString detail; // empty: the file does not exist; else why it could not be decoded
    QString text(const MessageCatalog &catalog) const;
    bool operator==(const ImageProblem &) const = default;
};

// The images of the room editor, one entry per image name, shared by every room, object and
// character that names it, until the cache is cleared (the window closes). The editor decodes
// each file once: reopening a room reads nothing again.
//
// Loading: the name is looked up in the project's image table (lower-cased); a name that is not
// there is skipped silently; a file that is missing or cannot be decoded is reported once (see
// takeProblems) and skipped until retryFailed(). Nothing in the project is changed: a frame or a
// room keeps naming an image that is missing, so that repairing the path brings it back.
//
// Images are kept whole, not cut into 512-pixel tiles: QPainter draws large images in one call
// and clips them itself, so tiles would only add work. Larger than 3072 x 1536 (three screens by
// two of the biggest game) is cut off, as the game does.
class RoomImageCache
{
public:
    static constexpr int MaxWidth = 3072, MaxHeight = 1536;

    // The image of the name, loading it on first use; null when it cannot be shown.
    const RoomImage *image(const ProjectModel &model, const QString &name);
    // The image already in the cache, without loading; null when it is not there.
    const RoomImage *find(const QString &name) const;
    // The image at another size and/or mirrored left to right, smoothly scaled once and kept
    // while it is used (characters are drawn at their depth zoom every frame).
    QImage transformed(const QString &name, const RoomImage &image, QSize size, bool mirrored);

    // Loads what opening a room shows at once: background, parallax background, the first frame
    // of each state of every placed object and of the standing states of every character placed
    // in the room. The files are decoded on all cores.
    void preloadRoom(const ProjectModel &model, int roomSlot);

    // Forgets the names that failed, so that the next use tries (and reports) them again.
    void retryFailed();
    // Forgets one name (its file was replaced or its path repaired).
    void forget(const QString &name);
    // Forgets everything.
    void clear();

    // Problems found since the last call, each image once.
    std::vector<ImageProblem> takeProblems();

    int size() const { return int(m_images.size()); }
    // Files decoded so far; for tests and benchmarks.
    int filesRead() const { return m_filesRead; }

    // Decodes a file as the room editor shows it, by its extension (decodeImageByExtension): bmp;
    // jpg, jpe, jpeg; tga with the Targa colour key (a project colour 0x00BBGGRR) made
    // transparent; gif (first image, with its transparent colour); png (with its alpha channel,
    // or opaque without one). A null image with `error` set when it fails.
    static RoomImage decode(const QString &path, uint32_t targaColour, QString *error);

private:
    // The file of a name that is not loaded yet; empty when there is nothing to load (no name,
    // loaded, failed before, not an image of the project, file missing: the last reported).
    QString pathToLoad(const ProjectModel &model, const QString &name);
    const RoomImage *store(const QString &name, const QString &path, RoomImage &&decoded, const QString &error);

    struct ScaledKey
    {
        QString name;
        QSize size;
        bool mirrored;
        bool operator==(const ScaledKey &) const = default;
    };
    friend size_t qHash(const ScaledKey &key, size_t seed) { return qHashMulti(seed, key.name, key.size.width(), key.size.height(), key.mirrored); }
    struct Scaled
    {
        QImage image;
        uint64_t lastUse = 0;
    };

    struct NameHash
    {
        size_t operator()(const QString &s) const noexcept { return qHash(s); }
    };
    // Node-based, so that a RoomImage stays where it is while others are loaded.
    std::unordered_map<QString, RoomImage, NameHash> m_images;
    QHash<QString, bool> m_failed;
    QHash<ScaledKey, Scaled> m_scaled;
    qint64 m_scaledBytes = 0;
    uint64_t m_useCounter = 0;
    std::vector<ImageProblem> m_problems;
    int m_filesRead = 0;
};

} // namespace mb
