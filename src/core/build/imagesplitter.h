#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace mb {

// Splits PNG images with an alpha channel into the two JPEG files the game runtime draws them
// from: "<name>.pnj", the colour pixels without alpha, and "<name>.pna", a grey image whose every
// pixel has the alpha value of the source pixel as its grey level. Both have the size of the
// source and quality 96.
class ImageSplitter
{
public:
    static constexpr int JpegQuality = 96;

    // What the header of a PNG file says about alpha.
    enum class PngKind {
        NotPng,     // unreadable, or not a PNG file (signature or IHDR missing)
        Opaque,     // colour types 0, 2, 3
        WithAlpha,  // colour type 4 (grey with alpha) or 6 (colour with alpha)
    };
    // Reads only the signature and the IHDR chunk of the file.
    static PngKind pngKind(const QString &path);
    static PngKind pngKind(const QByteArray &header);

    // The file name of the colour JPEG for a PNG path: the file name part with its last three
    // characters replaced by "pnj" ("C:\gfx\hero.png" -> "hero.pnj"). The alpha file is the same
    // with its last character replaced by "a".
    static QString colourFileName(const QString &pngPath);
    static QString alphaFileName(const QString &colourFileName);

    struct Job
    {
        QString source;     // the PNG file
        QString colourPath; // where the .pnj goes; the .pna goes beside it
    };

    struct Result
    {
        enum Status {
            Ok,
            NotDecoded, // the source cannot be read as a PNG image
            NotWritten, // a JPEG file could not be written
        };
        Status status = Ok;
        QString error; // names the file and what is wrong; empty for Ok
    };

    // Splits one PNG into job.colourPath and the alpha file beside it.
    static Result split(const Job &job);

    // Splits every job, on up to `threads` threads (0: one per core). The files written are the
    // same as a serial run's: jobs writing the same .pnj path run one after the other in list
    // order, so the last one wins. `done` is called on the calling thread with each job's index in
    // list order, once that job and all before it are finished. Returns each job's result in list
    // order.
    static std::vector<Result> splitAll(const std::vector<Job> &jobs, int threads = 0,
                                        const std::function<void(int index)> &done = {});
};

} // namespace mb
