#include "media/swfheader.h"

#include "media/previewtexts.h"

#include <QFile>

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace mb {

namespace {

constexpr qint64 kPrefixSize = 8;          // signature, version, file length
constexpr qint64 kLzmaPrefixSize = 17;     // + compressed length and LZMA properties
constexpr size_t kBodyHeaderMax = 17 + 4;  // the widest rectangle (5 + 4 * 31 bits), rate, count
constexpr qint64 kMaxFileRead = qint64(64) << 20;
// Checking the length of a compressed movie means unpacking all of it. Past this many bytes the
// check stops (no real movie is that big), so that a small crafted file cannot keep it busy.
constexpr quint64 kMaxCheckedBody = quint64(256) << 20;
constexpr uint64_t kLzmaMemoryLimit = uint64_t(80) << 20;

quint32 le32(const uchar *p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar *p) { return quint16(p[0] | p[1] << 8); }

SwfHeaderResult failure(SwfError error, qint64 offset, QString detail = {})
{
    SwfHeaderResult r;
    r.error = error;
    r.offset = offset;
    r.detail = std::move(detail);
    return r;
}

// Bytes of the body the header fields need: the rectangle's bit field plus rate and count.
size_t bodyHeaderSize(uchar first)
{
    const int bits = first >> 3;
    return size_t((5 + 4 * bits + 7) / 8) + 4;
}

// Reads the rectangle, frame rate and frame count; `body` holds at least bodyHeaderSize bytes.
void parseBody(const uchar *body, SwfHeader &h)
{
    const int bits = body[0] >> 3;
    int pos = 5; // bit position, most significant bit first
    auto field = [&]() -> qint32 {
        qint64 v = 0;
        for (int i = 0; i < bits; ++i, ++pos)
            v = (v << 1) | ((body[pos / 8] >> (7 - pos % 8)) & 1);
        if (bits > 0 && (v >> (bits - 1)) & 1) // sign extension
            v -= qint64(1) << bits;
        return qint32(v);
    };
    h.xMin = field();
    h.xMax = field();
    h.yMin = field();
    h.yMax = field();
    const uchar *rest = body + (pos + 7) / 8;
    h.frameRateFixed = le16(rest);
    h.frameCount = le16(rest + 2);
}

// Collects the start of a decompressed body and counts how long it is.
struct BodySink
{
    std::array<uchar, kBodyHeaderMax> head{};
    size_t headSize = 0;
    quint64 total = 0;

    void add(const uchar *p, size_t n)
    {
        const size_t take = std::min(n, head.size() - headSize);
        std::memcpy(head.data() + headSize, p, take);
        headSize += take;
        total += n;
    }
    bool hasHeader() const { return headSize > 0 && headSize >= std::min(bodyHeaderSize(head[0]), head.size()); }
};

// The common end of every read once the body's start is known: header fields, length checks.
SwfHeaderResult finish(SwfHeader h, const uchar *body, size_t bodySize, quint64 bodyTotal, bool lengthKnown)
{
    if (bodySize == 0 || bodySize < bodyHeaderSize(body[0]))
        return failure(SwfError::Truncated, kPrefixSize + qint64(bodySize));
    const size_t need = bodyHeaderSize(body[0]);
    if (h.fileLength < kPrefixSize + need)
        return failure(SwfError::BadLength, 4, QString::number(h.fileLength));
    if (lengthKnown && bodyTotal + kPrefixSize < h.fileLength) {
        SwfHeaderResult r = failure(SwfError::ShortMovie, qint64(bodyTotal + kPrefixSize), QString::number(h.fileLength));
        r.actualLength = qint64(bodyTotal + kPrefixSize);
        return r;
    }
    parseBody(body, h);
    if (h.xMax < h.xMin || h.yMax < h.yMin)
        return failure(SwfError::InvertedStage, kPrefixSize);
    SwfHeaderResult r;
    r.ok = true;
    r.header = h;
    return r;
}

SwfHeaderResult readZlib(const SwfHeader &h, const QByteArray &data, bool wholeFile)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return failure(SwfError::DamagedZlib, kPrefixSize, QString::fromLatin1(z.msg ? z.msg : "zlib"));
    const quint64 wanted = h.fileLength > kPrefixSize ? h.fileLength - kPrefixSize : 0;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData())) + kPrefixSize;
    z.avail_in = uInt(data.size() - kPrefixSize);
    BodySink sink;
    std::array<uchar, 1 << 16> out;
    int rc = Z_OK;
    while (true) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
        sink.add(out.data(), out.size() - z.avail_out);
        if (rc != Z_OK)
            break;
        if (sink.hasHeader() && (!wholeFile || sink.total >= std::min(wanted, kMaxCheckedBody)))
            break;
        if (z.avail_in == 0 && z.avail_out != 0)
            break; // input used up without the stream's end
    }
    const qint64 at = kPrefixSize + qint64(z.total_in);
    const QString msg = QString::fromLatin1(z.msg ? z.msg : "");
    inflateEnd(&z);
    if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR)
        return failure(SwfError::DamagedZlib, at, msg.isEmpty() ? QString::number(rc) : msg);
    // Below the cap the unpacking ended with the data, so the total is the movie's real length.
    const bool checked = wholeFile && sink.total < kMaxCheckedBody;
    return finish(h, sink.head.data(), sink.headSize, sink.total, checked);
}

SwfHeaderResult readLzma(const SwfHeader &h, const QByteArray &data, bool wholeFile)
{
    if (data.size() < kLzmaPrefixSize)
        return failure(SwfError::Truncated, data.size());
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    if (h.fileLength < kPrefixSize)
        return failure(SwfError::BadLength, 4, QString::number(h.fileLength));
    const quint64 wanted = h.fileLength - kPrefixSize;
    // The movie stores the LZMA properties without the uncompressed size that the classic
    // .lzma header carries; the header's length field supplies it.
    std::array<uint8_t, 13> alone{};
    std::memcpy(alone.data(), bytes + 12, 5);
    for (int i = 0; i < 8; ++i)
        alone[5 + i] = uint8_t(quint64(wanted) >> (8 * i));

    // One buffer: the classic header, then the movie's LZMA data.
    QByteArray input(reinterpret_cast<const char *>(alone.data()), qsizetype(alone.size()));
    input.append(data.constData() + kLzmaPrefixSize, data.size() - kLzmaPrefixSize);

    lzma_stream z = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&z, kLzmaMemoryLimit) != LZMA_OK)
        return failure(SwfError::DamagedLzma, 12, QStringLiteral("decoder"));
    z.next_in = reinterpret_cast<const uint8_t *>(input.constData());
    z.avail_in = size_t(input.size());
    BodySink sink;
    std::array<uchar, 1 << 16> out;
    lzma_ret rc = LZMA_OK;
    while (true) {
        z.next_out = out.data();
        z.avail_out = out.size();
        rc = lzma_code(&z, LZMA_FINISH);
        sink.add(out.data(), out.size() - z.avail_out);
        if (rc != LZMA_OK)
            break;
        if (sink.hasHeader() && (!wholeFile || sink.total >= std::min(wanted, kMaxCheckedBody)))
            break;
    }
    // Bytes of the movie's data the decoder took, not counting the header put before them.
    const qint64 used = std::max<qint64>(0, qint64(input.size() - z.avail_in) - qint64(alone.size()));
    lzma_end(&z);
    const qint64 at = kLzmaPrefixSize + used;
    switch (rc) {
    case LZMA_OK:
    case LZMA_STREAM_END:
    case LZMA_BUF_ERROR: // input used up: judged by what was unpacked
        break;
    case LZMA_MEMLIMIT_ERROR:
    case LZMA_MEM_ERROR:
        return failure(SwfError::DamagedLzma, 12, QStringLiteral("dictionary too large"));
    case LZMA_FORMAT_ERROR:
    case LZMA_OPTIONS_ERROR:
        return failure(SwfError::DamagedLzma, 12, QStringLiteral("invalid properties"));
    default:
        return failure(SwfError::DamagedLzma, at, QStringLiteral("corrupt data"));
    }
    // Below the cap the unpacking ended with the data, so the total is the movie's real length.
    const bool checked = wholeFile && sink.total < kMaxCheckedBody;
    return finish(h, sink.head.data(), sink.headSize, sink.total, checked);
}

} // namespace

SwfHeaderResult readSwfHeader(const QByteArray &data, bool wholeFile)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    static constexpr char kSignatures[3] = {'F', 'C', 'Z'};
    const bool knownFirst = size > 0 && std::find(std::begin(kSignatures), std::end(kSignatures), char(bytes[0])) != std::end(kSignatures);
    const bool prefixMatches = size == 0 || (knownFirst && (size < 2 || bytes[1] == 'W') && (size < 3 || bytes[2] == 'S'));
    if (!prefixMatches)
        return failure(SwfError::NotSwf, 0);
    if (size < kPrefixSize)
        return failure(SwfError::Truncated, size);

    SwfHeader h;
    h.compression = bytes[0] == 'F' ? SwfHeader::Compression::None
                  : bytes[0] == 'C' ? SwfHeader::Compression::Zlib
                                    : SwfHeader::Compression::Lzma;
    h.version = bytes[3];
    h.fileLength = le32(bytes + 4);
    switch (h.compression) {
    case SwfHeader::Compression::Zlib:
        return readZlib(h, data, wholeFile);
    case SwfHeader::Compression::Lzma:
        return readLzma(h, data, wholeFile);
    case SwfHeader::Compression::None:
        break;
    }
    const size_t bodySize = size_t(size - kPrefixSize);
    return finish(h, bytes + kPrefixSize, std::min(bodySize, kBodyHeaderMax), bodySize, wholeFile);
}

SwfHeaderResult readSwfHeaderFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(SwfError::Unreadable, 0, file.errorString());
    const bool whole = file.size() <= kMaxFileRead;
    const QByteArray data = file.read(std::min<qint64>(file.size(), kMaxFileRead));
    if (file.error() != QFileDevice::NoError)
        return failure(SwfError::Unreadable, 0, file.errorString());
    return readSwfHeader(data, whole);
}

QString swfErrorText(const SwfHeaderResult &r, const QString &fileName, const QString &language)
{
    auto t = [&](PreviewText id) { return previewText(id, language).arg(fileName); };
    switch (r.error) {
    case SwfError::None: return {};
    case SwfError::NotSwf: return t(PreviewText::SwfNotSwf);
    case SwfError::Truncated: return t(PreviewText::SwfTruncated).arg(r.offset);
    case SwfError::BadLength: return t(PreviewText::SwfBadLength).arg(r.detail);
    case SwfError::ShortMovie: return t(PreviewText::SwfShortMovie).arg(r.actualLength).arg(r.detail);
    case SwfError::DamagedZlib: return t(PreviewText::SwfDamagedZlib).arg(r.offset).arg(r.detail);
    case SwfError::DamagedLzma: return t(PreviewText::SwfDamagedLzma).arg(r.offset).arg(r.detail);
    case SwfError::InvertedStage: return t(PreviewText::SwfInvertedStage);
    case SwfError::Unreadable: return t(PreviewText::SwfUnreadable).arg(r.detail);
    }
    return {};
}

} // namespace mb
