#include "media/swfheader.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <lzma.h>

using namespace mb;

Q_DECLARE_METATYPE(mb::SwfError)

namespace {

// The body's start: the stage rectangle as a bit field of `bits`-wide fields, frame rate
// (8.8), frame count, then some tag bytes so that a movie is more than its header.
QByteArray body(int bits, qint32 xMin, qint32 xMax, qint32 yMin, qint32 yMax, quint16 rate, quint16 count)
{
    QByteArray out;
    quint64 acc = 0;
    int have = 0;
    auto put = [&](quint32 value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            acc = acc << 1 | ((value >> i) & 1);
            if (++have == 8) {
                out.append(char(acc));
                acc = 0;
                have = 0;
            }
        }
    };
    put(quint32(bits), 5);
    for (qint32 v : {xMin, xMax, yMin, yMax})
        put(quint32(v), bits);
    if (have)
        put(0, 8 - have);
    out.append(char(rate & 0xFF)).append(char(rate >> 8));
    out.append(char(count & 0xFF)).append(char(count >> 8));
    out.append(QByteArray(200, '\x40')); // stand-in tags
    return out;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray lzmaBody(const QByteArray &plain)
{
    lzma_options_lzma opt;
    lzma_lzma_preset(&opt, 6);
    opt.dict_size = 1 << 16;
    lzma_stream z = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&z, &opt) != LZMA_OK)
        return {};
    QByteArray out(plain.size() + 4096, 0);
    z.next_in = reinterpret_cast<const uint8_t *>(plain.constData());
    z.avail_in = size_t(plain.size());
    z.next_out = reinterpret_cast<uint8_t *>(out.data());
    z.avail_out = size_t(out.size());
    while (lzma_code(&z, LZMA_FINISH) == LZMA_OK) {}
    out.resize(qsizetype(z.total_out));
    lzma_end(&z);
    return out; // 5 property bytes, 8 size bytes, data
}

// A whole movie around a body.
QByteArray movie(char kind, int version, const QByteArray &plainBody)
{
    const quint32 length = quint32(8 + plainBody.size());
    QByteArray head = QByteArray(1, kind) + "WS" + char(version) + le32(length);
    if (kind == 'F')
        return head + plainBody;
    if (kind == 'C')
        return head + qCompress(plainBody).mid(4); // without Qt's length prefix
    const QByteArray alone = lzmaBody(plainBody);
    const QByteArray data = alone.mid(13);
    return head + le32(quint32(data.size())) + alone.left(5) + data;
}

} // namespace

class TestSwfHeader : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("xMin");
        QTest::addColumn<int>("xMax");
        QTest::addColumn<int>("yMin");
        QTest::addColumn<int>("yMax");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("fps");
        QTest::newRow("plain 550x400") << 'F' << 15 << 0 << 11000 << 0 << 8000 << 0x1800 << 120 << 550.0 << 400.0 << 24.0;
        QTest::newRow("zlib 640x480") << 'C' << 15 << 0 << 12800 << 0 << 9600 << 0x0C00 << 1 << 640.0 << 480.0 << 12.0;
        QTest::newRow("lzma 320x200") << 'Z' << 14 << 0 << 6400 << 0 << 4000 << 0x1DF8 << 65535 << 320.0 << 200.0 << 29.96875;
        QTest::newRow("negative origin") << 'F' << 16 << -200 << 200 << -20 << 30 << 0x0100 << 2 << 20.0 << 2.5 << 1.0;
        QTest::newRow("empty rectangle") << 'F' << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("widest fields") << 'C' << 31 << -1000000000 << 1000000000 << 0 << 20 << 0x1E00 << 7 << 100000000.0 << 1.0 << 30.0;
    }
    void reads()
    {
        QFETCH(char, kind);
        QFETCH(int, bits);
        QFETCH(int, xMin);
        QFETCH(int, xMax);
        QFETCH(int, yMin);
        QFETCH(int, yMax);
        QFETCH(int, rate);
        QFETCH(int, count);
        const QByteArray data = movie(kind, 10, body(bits, xMin, xMax, yMin, yMax, quint16(rate), quint16(count)));
        const SwfHeaderResult r = readSwfHeader(data);
        QVERIFY2(r.ok, qPrintable(swfErrorText(r, QStringLiteral("x.swf"), QStringLiteral("EN"))));
        QCOMPARE(r.header.version, 10);
        QCOMPARE(r.header.compression, kind == 'F' ? SwfHeader::Compression::None
                                       : kind == 'C' ? SwfHeader::Compression::Zlib
                                                     : SwfHeader::Compression::Lzma);
        QCOMPARE(r.header.xMin, xMin);
        QCOMPARE(r.header.yMax, yMax);
        QTEST(r.header.stageWidth(), "width");
        QTEST(r.header.stageHeight(), "height");
        QTEST(r.header.frameRate(), "fps");
        QCOMPARE(int(r.header.frameCount), count);
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<SwfError>("error");
        QTest::addColumn<qint64>("offset");
        const QByteArray plain = movie('F', 6, body(15, 0, 11000, 0, 8000, 0x1800, 10));
        const QByteArray zlib = movie('C', 6, body(15, 0, 11000, 0, 8000, 0x1800, 10));
        const QByteArray lzma = movie('Z', 13, body(15, 0, 11000, 0, 8000, 0x1800, 10));
        QByteArray shortLength = plain;
        shortLength.replace(4, 4, le32(12));
        QByteArray flipped = zlib;
        for (int i = 12; i < flipped.size() - 4; ++i)
            flipped[i] = char(flipped[i] ^ 0x5A);
        QByteArray badProps = lzma;
        badProps[12] = char(0xFF); // lc/lp/pb out of range
        QByteArray lzmaGarbage = lzma;
        lzmaGarbage.replace(17, lzma.size() - 17, QByteArray(lzma.size() - 17, '\xFF'));

        QTest::newRow("empty") << QByteArray() << SwfError::Truncated << qint64(0);
        QTest::newRow("a GIF") << QByteArray("GIF89a\x01\x00") << SwfError::NotSwf << qint64(0);
        QTest::newRow("lower-case signature") << QByteArray("fws\x06\x20\x00\x00\x00") << SwfError::NotSwf << qint64(0);
        QTest::newRow("signature only") << QByteArray("CWS") << SwfError::Truncated << qint64(3);
        QTest::newRow("cut in the rectangle") << plain.left(11) << SwfError::Truncated << qint64(11);
        QTest::newRow("cut before the count") << plain.left(8 + 9 + 2) << SwfError::Truncated << qint64(19);
        QTest::newRow("length field too small") << shortLength << SwfError::BadLength << qint64(4);
        QTest::newRow("plain movie cut") << plain.left(plain.size() - 50) << SwfError::ShortMovie << qint64(plain.size() - 50);
        QTest::newRow("zlib stream cut") << zlib.left(zlib.size() - 6) << SwfError::ShortMovie << qint64(-1);
        QTest::newRow("zlib cut in the header") << zlib.left(10) << SwfError::Truncated << qint64(-1);
        QTest::newRow("zlib garbage") << flipped << SwfError::DamagedZlib << qint64(-1);
        QTest::newRow("lzma cut before data") << lzma.left(15) << SwfError::Truncated << qint64(15);
        QTest::newRow("lzma properties") << badProps << SwfError::DamagedLzma << qint64(12);
        QTest::newRow("lzma stream cut") << lzma.left(lzma.size() - 8) << SwfError::ShortMovie << qint64(-1);
        QTest::newRow("lzma garbage") << lzmaGarbage << SwfError::DamagedLzma << qint64(-1);
        QTest::newRow("inverted stage") << movie('F', 6, body(15, 11000, 0, 0, 8000, 0, 1)) << SwfError::InvertedStage << qint64(8);
    }
    void damaged()
    {
        QFETCH(QByteArray, data);
        QFETCH(SwfError, error);
        QFETCH(qint64, offset);
        const SwfHeaderResult r = readSwfHeader(data);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, error);
        if (offset >= 0)
            QCOMPARE(r.offset, offset);
        for (const char *lang : {"EN", "DE"}) {
            const QString text = swfErrorText(r, QStringLiteral("film.swf"), QLatin1String(lang));
            QVERIFY2(text.startsWith(QLatin1String("film.swf ")), qPrintable(text));
            QVERIFY2(!text.contains(u'%'), qPrintable(text));
        }
    }

    // A header that claims 4 GiB must not make the reader allocate or unpack that much.
    void hugeClaimsStayCheap()
    {
        QByteArray data = movie('C', 6, body(15, 0, 11000, 0, 8000, 0x1800, 10));
        data.replace(4, 4, le32(0xFFFFFFFFu));
        const SwfHeaderResult r = readSwfHeader(data);
        QCOMPARE(r.error, SwfError::ShortMovie);
        QVERIFY(r.actualLength < 1000);
        // Read as the start of a bigger file, the same header is fine.
        QVERIFY(readSwfHeader(data, false).ok);
    }

    // The fuzz target's seed corpus and findings: "-ok" files give a header, every other one a
    // message.
    void corpus_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QFINDTESTDATA("data/swf"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 3);
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }
    void corpus()
    {
        QFETCH(QString, path);
        const SwfHeaderResult r = readSwfHeaderFile(path);
        QCOMPARE(r.ok, QFileInfo(path).completeBaseName().endsWith(QLatin1String("-ok")));
        if (r.ok)
            QCOMPARE(int(r.header.frameCount), 60);
        else
            QVERIFY(!swfErrorText(r, path, QStringLiteral("EN")).isEmpty());
    }

    void fromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("intro.swf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(movie('C', 9, body(15, 0, 11000, 0, 8000, 0x1800, 42)));
        f.close();
        const SwfHeaderResult r = readSwfHeaderFile(path);
        QVERIFY(r.ok);
        QCOMPARE(int(r.header.frameCount), 42);

        const SwfHeaderResult missing = readSwfHeaderFile(dir.filePath(QStringLiteral("gone.swf")));
        QCOMPARE(missing.error, SwfError::Unreadable);
        QVERIFY(!missing.detail.isEmpty());
    }
};


QTEST_GUILESS_MAIN(TestSwfHeader)
#include "tst_swfheader.moc"
