#include "media/previewtarget.h"
#include "platform/imagedecoder.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projecttree.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace mb;

Q_DECLARE_METATYPE(mb::PreviewPlayer)

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Two 1 x 1 frames: white, then black.
QByteArray twoFrameGif()
{
    return QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00", 19) +
           QByteArray("!\xf9\x04\x00\x0a\x00\x00\x00", 8) + QByteArray(",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15) +
           QByteArray("!\xf9\x04\x00\x0a\x00\x00\x00", 8) + QByteArray(",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4c\x01\x00", 15) + ";";
}

// An uncompressed 24-bit Targa picture, top row first, without the version 2 footer.
QByteArray targa(int width, int height, QRgb colour)
{
    QByteArray t(18, '\0');
    t[2] = 2;
    qToLittleEndian(quint16(width), t.data() + 12);
    qToLittleEndian(quint16(height), t.data() + 14);
    t[16] = 24;
    t[17] = 0x20;
    for (int i = 0; i < width * height; ++i)
        t.append(char(qBlue(colour))).append(char(qGreen(colour))).append(char(qRed(colour)));
    return t;
}

QImage picture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(200, 40, 10));
    return img;
}

} // namespace

class TestMediaPreview : public QObject
{
    Q_OBJECT
private slots:
    void players_data()
    {
        QTest::addColumn<int>("node");
        QTest::addColumn<QString>("path");
        QTest::addColumn<PreviewPlayer>("player");
        using P = PreviewPlayer;
        QTest::newRow("music .xm is a module") << nodeimage::Music << "/m/Theme.XM" << P::Module;
        QTest::newRow("music .it") << nodeimage::Music << "C:\\m\\a.it" << P::Module;
        for (const char *e : {"mod", "s3m", "mo3", "umx", "mtm"})
            QTest::newRow(qPrintable(QStringLiteral("music .%1").arg(QLatin1String(e))))
                << nodeimage::Music << QStringLiteral("/m/a.") + QLatin1String(e) << P::Module;
        QTest::newRow("music .ogg is a stream") << nodeimage::Music << "/m/theme.ogg" << P::Stream;
        QTest::newRow("music .mp1") << nodeimage::Music << "/m/a.mp1" << P::Stream;
        QTest::newRow("music unknown") << nodeimage::Music << "/m/a.mid" << P::None;
        QTest::newRow("music ending in 'it' without dot") << nodeimage::Music << "/m/audit" << P::None;
        QTest::newRow("sound .wav") << nodeimage::Sound << "/s/Door.WAV" << P::Stream;
        QTest::newRow("sound .wma") << nodeimage::Sound << "/s/door.wma" << P::Stream;
        QTest::newRow("sound module is not loaded") << nodeimage::Sound << "/s/loop.xm" << P::None;
        QTest::newRow("movie .mpg is a video") << nodeimage::Movie << "/v/intro.mpg" << P::Video;
        QTest::newRow("movie .avi") << nodeimage::Movie << "/v/intro.avi" << P::Video;
        QTest::newRow("movie .swf shows its header") << nodeimage::Movie << "/v/intro.SWF" << P::FlashHeader;
        QTest::newRow("image .jpe") << nodeimage::Image << "/g/bg.jpe" << P::Image;
        QTest::newRow("image .jpeg") << nodeimage::Image << "/g/bg.jpeg" << P::Image;
        QTest::newRow("image .tga") << nodeimage::Image << "/g/bg.tga" << P::Image;
        QTest::newRow("image .tif") << nodeimage::Image << "/g/bg.tif" << P::None;
        QTest::newRow("folder") << nodeimage::Folder << "/g/bg.png" << P::None;
    }
    void players()
    {
        QFETCH(int, node);
        QFETCH(QString, path);
        QTEST(previewPlayerFor(node, path), "player");
    }

    void resolve()
    {
        QTemporaryDir dir;
        MessageCatalog catalog;
        auto model = std::make_unique<ProjectModel>();
        model->allesneu(catalog);
        const QString older = dir.filePath(QStringLiteral("old.ogg")), newer = dir.filePath(QStringLiteral("theme.xm"));
        QVERIFY(writeFile(older, "x") && writeFile(newer, "x"));
        model->media[Music].set(3, QStringLiteral("theme"), older);
        model->media[Music].set(9, QStringLiteral("theme"), newer);
        model->media[Sounds].set(1, QStringLiteral("gone"), dir.filePath(QStringLiteral("gone.wav")));
        model->media[Sounds].set(2, QStringLiteral("nofolder"), dir.filePath(QStringLiteral("nowhere/x.wav")));

        // The last entry of the name wins, whatever the case of the request.
        const PreviewTarget t = resolvePreview(*model, nodeimage::Music, QStringLiteral("Theme"));
        QVERIFY(t.ok());
        QCOMPARE(t.path, newer);
        QCOMPARE(t.player, PreviewPlayer::Module);
        // The kind decides the table: no image of that name.
        QVERIFY(!resolvePreview(*model, nodeimage::Image, QStringLiteral("theme")).ok());

        const PreviewTarget gone = resolvePreview(*model, nodeimage::Sound, QStringLiteral("gone"));
        QCOMPARE(gone.error.render(catalog), dir.filePath(QStringLiteral("gone.wav")) + QStringLiteral(" is not existent."));
        QCOMPARE(gone.player, PreviewPlayer::None);
        QVERIFY(!resolvePreview(*model, nodeimage::Sound, QStringLiteral("nofolder")).ok());
        // The message is made when shown, in the language of that moment.
        catalog.setLanguage(QStringLiteral("DE"));
        QCOMPARE(gone.error.render(catalog), dir.filePath(QStringLiteral("gone.wav")) + u' ' + catalog.msg(116));
        QVERIFY(resolvePreview(*model, nodeimage::Sound, QStringLiteral("unknown")).error.render(catalog).startsWith(QLatin1String("unknown ")));
    }

    void decodeImages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRgb>("firstPixel");
        const QImage p = picture(120, 200);
        const QByteArray png = encoded(p, "PNG");
        QTest::newRow("bmp") << "a.bmp" << encoded(p, "BMP") << QSize(120, 200) << qRgb(200, 40, 10);
        QTest::newRow("png, upper case") << "a.PNG" << png << QSize(120, 200) << qRgb(200, 40, 10);
        QTest::newRow("jpe") << "a.jpe" << encoded(p, "JPEG") << QSize(120, 200) << QRgb(0);
        QTest::newRow("jpeg") << "a.jpeg" << encoded(p, "JPEG") << QSize(120, 200) << QRgb(0);
        QTest::newRow("gif: first frame") << "a.gif" << twoFrameGif() << QSize(1, 1) << qRgb(255, 255, 255);
        QTest::newRow("tga") << "a.tga" << targa(3, 2, qRgb(1, 2, 3)) << QSize(3, 2) << qRgb(1, 2, 3);
        // Decoded by the name: a PNG called .jpg is refused, as the game would refuse it.
        QTest::newRow("png named jpg") << "a.jpg" << png << QSize() << QRgb(0);
        QTest::newRow("png cut short") << "a.png" << png.left(png.size() / 2) << QSize() << QRgb(0);
        QTest::newRow("empty bmp") << "a.bmp" << QByteArray() << QSize() << QRgb(0);
        QTest::newRow("gif header only") << "a.gif" << twoFrameGif().left(13) << QSize() << QRgb(0);
        QTest::newRow("unknown type") << "a.tif" << png << QSize() << QRgb(0);
    }
    void decodeImages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QRgb, firstPixel);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(writeFile(path, bytes));
        const DecodedImage d = decodeImageByExtension(path);
        if (!size.isValid()) {
            QVERIFY(!d.ok());
            QVERIFY(!d.error.isEmpty());
            return;
        }
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(d.image.size(), size);
        if (firstPixel)
            QCOMPARE(d.image.pixel(0, 0) | 0xFF000000u, firstPixel);
        QCOMPARE(imageLabel(path, d.image.size()), path + QStringLiteral(" (%1*%2)").arg(size.width()).arg(size.height()));
    }
};

QTEST_GUILESS_MAIN(TestMediaPreview)
#include "tst_mediapreview.moc"
