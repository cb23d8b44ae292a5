#include "build/imagesplitter.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace mb {

namespace {

constexpr char kPngSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
// Signature (8), IHDR length (4), "IHDR" (4), width (4), height (4), bit depth (1), colour type.
constexpr int kHeaderSize = 26;
constexpr int kColourTypeAt = 25;

QString bareName(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(sep + 1);
}

bool writeJpeg(const QImage &image, const QString &path, QString *error)
{
    QImageWriter writer(path, "jpg");
    writer.setQuality(ImageSplitter::JpegQuality);
    if (!writer.write(image)) {
        *error = path + QStringLiteral(": ") + writer.errorString();
        QFile::remove(path);
        return false;
    }
    return true;
}

} // namespace

ImageSplitter::PngKind ImageSplitter::pngKind(const QByteArray &header)
{
    if (header.size() < kHeaderSize || !header.startsWith(QByteArray(kPngSignature, 8))
        || header.mid(12, 4) != "IHDR")
        return PngKind::NotPng;
    const int type = static_cast<unsigned char>(header[kColourTypeAt]);
    switch (type) {
    case 4:
    case 6:
        return PngKind::WithAlpha;
    case 0:
    case 2:
    case 3:
        return PngKind::Opaque;
    default:
        return PngKind::NotPng;
    }
}

ImageSplitter::PngKind ImageSplitter::pngKind(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return PngKind::NotPng;
    return pngKind(f.read(kHeaderSize));
}

QString ImageSplitter::colourFileName(const QString &pngPath)
{
    QString name = bareName(pngPath);
    name.chop(std::min<qsizetype>(3, name.size()));
    return name + QStringLiteral("pnj");
}

QString ImageSplitter::alphaFileName(const QString &colourFileName)
{
    QString name = colourFileName;
    if (!name.isEmpty())
        name.chop(1);
    return name + u'a';
}

ImageSplitter::Result ImageSplitter::split(const Job &job)
{
    QImageReader reader(job.source, "png");
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        return {Result::NotDecoded, job.source + QStringLiteral(": ") + reader.errorString()};
    // Straight (not premultiplied) alpha: dropping it leaves the colour as drawn, unblended, so
    // the runtime can put the two back together exactly. Qt's converters do both in bulk.
    image.convertTo(QImage::Format_ARGB32);
    const QImage colour = image.convertToFormat(QImage::Format_RGB888);
    const QImage alphaChannel = image.convertToFormat(QImage::Format_Alpha8);
    if (colour.isNull() || alphaChannel.isNull())
        return {Result::NotDecoded, job.source + QStringLiteral(": the image is too large")};
    // The same bytes read as grey levels: grey = alpha.
    const QImage alpha(alphaChannel.constBits(), alphaChannel.width(), alphaChannel.height(),
                       alphaChannel.bytesPerLine(), QImage::Format_Grayscale8);
    QString error;
    const QString alphaPath = QFileInfo(job.colourPath).dir().filePath(alphaFileName(bareName(job.colourPath)));
    if (!writeJpeg(colour, job.colourPath, &error) || !writeJpeg(alpha, alphaPath, &error))
        return {Result::NotWritten, error};
    return {};
}

std::vector<ImageSplitter::Result> ImageSplitter::splitAll(const std::vector<Job> &jobs, int threads,
                                                           const std::function<void(int)> &done)
{
    const int n = int(jobs.size());
    std::vector<Result> results(static_cast<size_t>(n));
    if (n == 0)
        return results;

    // Jobs that write the same file form one chain, run in list order by one worker.
    std::vector<std::vector<int>> chains;
    {
        QHash<QString, int> chainOf;
        for (int i = 0; i < n; ++i) {
            const auto it = chainOf.constFind(jobs[size_t(i)].colourPath);
            if (it != chainOf.cend()) {
                chains[size_t(*it)].push_back(i);
            } else {
                chainOf.insert(jobs[size_t(i)].colourPath, int(chains.size()));
                chains.push_back({i});
            }
        }
    }

    if (threads <= 0)
        threads = int(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min(threads, int(chains.size()));

    std::vector<char> finished(size_t(n), 0);
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<int> nextChain{0};
    auto work = [&] {
        for (int c = nextChain++; c < int(chains.size()); c = nextChain++) {
            for (int i : chains[size_t(c)]) {
                Result r = split(jobs[size_t(i)]);
                std::lock_guard lock(mutex);
                results[size_t(i)] = std::move(r);
                finished[size_t(i)] = 1;
                changed.notify_one();
            }
        }
    };

    std::vector<std::thread> workers;
    workers.reserve(size_t(threads));
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(work);
    for (int i = 0; i < n; ++i) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return finished[size_t(i)] != 0; });
        }
        if (done)
            done(i);
    }
    for (std::thread &t : workers)
        t.join();
    return results;
}

} // namespace mb
