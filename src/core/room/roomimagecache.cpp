#include "room/roomimagecache.h"

#include "platform/imagedecoder.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <thread>

namespace mb {

namespace {

// Scaled character frames kept at once; past this the least recently used go.
constexpr qint64 ScaledBudget = 96ll * 1024 * 1024;

bool everyPixelOpaque(const QImage &argb32)
{
    for (int y = 0; y < argb32.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb32.constScanLine(y));
        for (int x = 0; x < argb32.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

} // namespace

QString ImageProblem::text(const MessageCatalog &catalog) const
{
    if (detail.isEmpty())
        return path + QLatin1Char(' ') + catalog.msg(116);
    return path + QStringLiteral(": ") + detail;
}

RoomImage RoomImageCache::decode(const QString &path, uint32_t targaColour, QString *error)
{
    DecodedImage decoded = decodeImageByExtension(path);
    if (!decoded.ok()) {
        if (error)
            *error = decoded.error;
        return {};
    }
    QImage img = std::move(decoded.image);
    const bool keyed = decoded.format == "tga";
    if (img.width() > MaxWidth || img.height() > MaxHeight)
        img = img.copy(0, 0, std::min(img.width(), int(MaxWidth)), std::min(img.height(), int(MaxHeight)));

    RoomImage out;
    if (keyed) {
        // The Targa colour marks the transparent pixels.
        img = img.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = qRgb(int(targaColour & 0xFF), int((targaColour >> 8) & 0xFF), int((targaColour >> 16) & 0xFF));
        for (int y = 0; y < img.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
        out.hasAlpha = true;
    } else if (img.hasAlphaChannel()) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        // Drawn the same either way, and an opaque image is copied instead of blended.
        out.hasAlpha = !everyPixelOpaque(img);
    }
    out.image = img.convertToFormat(out.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return out;
}

const RoomImage *RoomImageCache::find(const QString &name) const
{
    const auto it = m_images.find(name);
    return it == m_images.end() ? nullptr : &it->second;
}

QString RoomImageCache::pathToLoad(const ProjectModel &model, const QString &name)
{
    if (name.isEmpty() || find(name) || m_failed.contains(name))
        return {};
    const MediaTable &table = model.media[Images];
    const int slot = table.find(text::asciiLower(name));
    if (slot == 0) {
        m_failed.insert(name, true); // not an image of the project: nothing to say
        return {};
    }
    const QString path = table.path(slot);
    if (!QFileInfo(path).isFile()) {
        m_failed.insert(name, true);
        m_problems.push_back({name, path, QString()});
        return {};
    }
    return path;
}

const RoomImage *RoomImageCache::store(const QString &name, const QString &path, RoomImage &&decoded, const QString &error)
{
    ++m_filesRead;
    if (decoded.image.isNull()) {
        m_failed.insert(name, true);
        m_problems.push_back({name, path, error.isEmpty() ? QStringLiteral("cannot be read") : error});
        return nullptr;
    }
    return &m_images.insert_or_assign(name, std::move(decoded)).first->second;
}

const RoomImage *RoomImageCache::image(const ProjectModel &model, const QString &name)
{
    if (const RoomImage *cached = find(name))
        return cached;
    const QString path = pathToLoad(model, name);
    if (path.isEmpty())
        return nullptr;
    QString error;
    RoomImage decoded = decode(path, model.settings.targacolor, &error);
    return store(name, path, std::move(decoded), error);
}

QImage RoomImageCache::transformed(const QString &name, const RoomImage &image, QSize size, bool mirrored)
{
    if (size == image.image.size() && !mirrored)
        return image.image;
    const ScaledKey key{name, size, mirrored};
    auto it = m_scaled.find(key);
    if (it == m_scaled.end()) {
        QImage src = mirrored ? image.image.mirrored(true, false) : image.image;
        if (src.size() != size)
            src = src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (src.format() != image.image.format())
            src = src.convertToFormat(image.image.format());
        m_scaledBytes += src.sizeInBytes();
        if (m_scaledBytes > ScaledBudget) {
            // Drop the older half: what the last frames drew stays.
            std::vector<uint64_t> uses;
            for (const Scaled &s : std::as_const(m_scaled))
                uses.push_back(s.lastUse);
            std::nth_element(uses.begin(), uses.begin() + uses.size() / 2, uses.end());
            const uint64_t cut = uses.empty() ? 0 : uses[uses.size() / 2];
            for (auto i = m_scaled.begin(); i != m_scaled.end();) {
                if (i->lastUse < cut) {
                    m_scaledBytes -= i->image.sizeInBytes();
                    i = m_scaled.erase(i);
                } else {
                    ++i;
                }
            }
        }
        it = m_scaled.insert(key, Scaled{src, 0});
    }
    it->lastUse = ++m_useCounter;
    return it->image;
}

void RoomImageCache::preloadRoom(const ProjectModel &model, int roomSlot)
{
    if (roomSlot < 1 || roomSlot > model.rooms.size() || !model.rooms.used(roomSlot))
        return;
    const Rroom &room = model.rooms[roomSlot];
    QStringList names{room.background, room.parallax};
    for (const Rroomobj &o : room.objects) {
        if (o.instanceName.isEmpty())
            continue;
        if (const int def = model.objects.find(o.objectName))
            for (int s = 0; s < Robj::States; ++s)
                names << model.objects[def].frames[s][0].image << model.objects[def].frames[s][0].image2;
    }
    for (const Rroomchar &c : model.roomChars) {
        if (c.instanceName.isEmpty() || c.roomName != room.name)
            continue;
        // The states the room shows: standing front, back, right, and left.
        if (const int def = model.characters.find(c.characterName))
            for (int s : {0, 1, 2, 32})
                names << model.characters[def].frames[s][0].image << model.characters[def].frames[s][0].image2;
    }
    names.removeDuplicates();

    struct Job
    {
        QString name, path, error;
        RoomImage decoded;
    };
    std::vector<Job> jobs;
    for (const QString &name : std::as_const(names)) {
        const QString path = pathToLoad(model, name);
        if (!path.isEmpty())
            jobs.push_back({name, path, {}, {}});
    }
    // Decoding is most of opening a room; the files are decoded on all cores at once.
    std::atomic<size_t> next{0};
    const uint32_t key = model.settings.targacolor;
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            jobs[i].decoded = decode(jobs[i].path, key, &jobs[i].error);
    };
    const int helpers = std::min<int>(int(jobs.size()) - 1, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    for (Job &job : jobs)
        store(job.name, job.path, std::move(job.decoded), job.error);
}

void RoomImageCache::retryFailed()
{
    m_failed.clear();
}

void RoomImageCache::forget(const QString &name)
{
    m_images.erase(name);
    m_failed.remove(name);
    for (auto i = m_scaled.begin(); i != m_scaled.end();) {
        if (i.key().name == name) {
            m_scaledBytes -= i->image.sizeInBytes();
            i = m_scaled.erase(i);
        } else {
            ++i;
        }
    }
}

void RoomImageCache::clear()
{
    m_images.clear();
    m_failed.clear();
    m_scaled.clear();
    m_scaledBytes = 0;
    m_problems.clear();
}

std::vector<ImageProblem> RoomImageCache::takeProblems()
{
    return std::exchange(m_problems, {});
}

} // namespace mb
