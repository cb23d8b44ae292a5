#include "build/buildpassword.h"
#include "build/gamedata.h"
#include "build/imagesplitter.h"
#include "build/textmarkers.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace mb;

namespace {

constexpr QChar kAf(0x00AF);

// The lists of the marker cases: Hello at index 3 of speech, hello.wav at 7 of voicespeech.
LangLists markerLists()
{
    LangLists l;
    l.speech = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("Yes"), QStringLiteral("Hello"),
                QStringLiteral("Hi; there"), QStringLiteral("Hello")};
    l.voicespeech = {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                     QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("hello.wav"),
                     QStringLiteral("dontwait")};
    l.offspeech = {QStringLiteral("x"), QStringLiteral("Far away")};
    l.voiceoffspeech = {QStringLiteral("far.wav"), QStringLiteral(" "), QStringLiteral("far.wav")};
    l.showinfo = {QStringLiteral("A door")};
    l.textout = {QString(), QStringLiteral("Score")};
    l.setstring = {QStringLiteral("Name")};
    l.row = {QStringLiteral("Yes")};
    return l;
}

// A PNG written by Qt: ARGB32 gives colour type 6, RGB32 type 2, Grayscale8 type 0. Smooth
// gradients, so that a JPEG of it stays close to it; the right half fades from transparent.
QString writePng(const QString &path, QImage::Format format, int w = 17, int h = 9, int seed = 1)
{
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba((x * 3 + seed * 7) & 255, (y * 5 + seed) & 255, (x + y + seed * 3) & 255,
                                     x < w / 2 ? 255 : (y * 255) / std::max(1, h - 1)));
    if (!img.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray pngHeader(int colourType)
{
    QByteArray h("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x10\x08", 25);
    h += char(colourType);
    return h;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestGameData : public QObject
{
    Q_OBJECT

private slots:
    void marker_data();
    void marker();
    void markers_data();
    void markers();
    void markersInFile();
    void pngKind_data();
    void pngKind();
    void splitKeepsColourAndAlpha();
    void splitFailures();
    void parallelSplitMatchesSerial();
    void imageList();
    void imageListStopsAtBrokenPng();
    void password();
};

void TestGameData::marker_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("marker");
    QTest::newRow("0") << 0 << QStringLiteral("|#00000#|");
    QTest::newRow("42") << 42 << QStringLiteral("|#00042#|");
    QTest::newRow("12345") << 12345 << QStringLiteral("|#12345#|");
    QTest::newRow("99999") << 99999 << QStringLiteral("|#99999#|");
    QTest::newRow("too large for five digits") << 100000 << QString();
    QTest::newRow("negative") << -1 << QString();
}

void TestGameData::marker()
{
    QFETCH(int, index);
    QFETCH(QString, marker);
    QCOMPARE(TextMarkers::marker(index), marker);
    if (!marker.isEmpty())
        QCOMPARE(marker.size(), TextMarkers::MarkerLength);
}

void TestGameData::markers_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("in");
    QTest::addColumn<QStringList>("out");
    const QString af(kAf);
    auto one = [](const char *s) { return QStringList{QString::fromUtf8(s)}; };

    QTest::newRow("speech text 3 and voice 7")
        << ";" << one("speech(Bob;Hello;hello.wav)") << one("speech(Bob;|#00003#|Hello;|#00007#|hello.wav)");
    QTest::newRow("voice dontwait gets no marker")
        << ";" << one("speech(Bob;Hello;dontwait)") << one("speech(Bob;|#00003#|Hello;dontwait)");
    QTest::newRow("no voice") << ";" << one("speech(Bob;Hello)") << one("speech(Bob;|#00003#|Hello)");
    QTest::newRow("empty voice") << ";" << one("speech(Bob;Hello; )") << one("speech(Bob;|#00003#|Hello; )");
    QTest::newRow("voice lower-cased, name any case")
        << ";" << one("SPEECH(Bob;Hello;HELLO.WAV)") << one("SPEECH(Bob;|#00003#|Hello;|#00007#|HELLO.WAV)");
    QTest::newRow("blanks and quotes around the text")
        << ";" << one("speech(Bob; \"Hello\" ;hello.wav)") << one("speech(Bob;|#00003#| \"Hello\" ;|#00007#|hello.wav)");
    QTest::newRow("text compared case-sensitively")
        << ";" << one("speech(Bob;hello;hello.wav)") << one("speech(Bob;hello;|#00007#|hello.wav)");
    QTest::newRow("unknown text and voice") << ";" << one("speech(Bob;Bye;bye.wav)") << one("speech(Bob;Bye;bye.wav)");
    QTest::newRow("empty text never matches the empty entry")
        << ";" << one("textout(1;)") << one("textout(1;)");
    // "b" is in the speech list: read as speech, argument 2 of this call would get a marker.
    QTest::newRow("offspeech is not speech")
        << ";" << one("offspeech(a;b;Far away;far.wav)") << one("offspeech(a;b;|#00001#|Far away;|#00000#|far.wav)");
    QTest::newRow("OffSpeech in any case") << ";" << one("OffSpeech(a;b;x)") << one("OffSpeech(a;b;|#00000#|x)");
    QTest::newRow("speechvolume is not speech") << ";" << one("speechvolume(b;Hello)") << one("speechvolume(b;Hello)");
    QTest::newRow("speech at the start after two characters")
        << ";" << one("  speech(a;b)") << one("  speech(a;|#00001#|b)");
    QTest::newRow("showinfo after the parenthesis") << ";" << one("showinfo(A door)") << one("showinfo(|#00000#|A door)");
    QTest::newRow("textout") << ";" << one("textout(1;Score)") << one("textout(1;|#00001#|Score)");
    QTest::newRow("setstring") << ";" << one("setstring(s;Name)") << one("setstring(s;|#00000#|Name)");
    QTest::newRow("row with one-character choice") << ";" << one("row(1;Yes)") << one("row(1;|#00000#|Yes)");
    QTest::newRow("row with two-character choice") << ";" << one("row(12;Yes)") << one("row(12;Yes)");
    QTest::newRow("row after a blank") << ";" << one("  row(2;Yes)") << one("  row(2;|#00000#|Yes)");
    QTest::newRow("row inside a word") << ";" << one("throw(1;Yes)") << one("throw(1;Yes)");
    QTest::newRow("two calls in one line both marked")
        << ";" << one("speech(a;Hello;hello.wav) speech(b;Hello;hello.wav) showinfo(A door)")
        << one("speech(a;|#00003#|Hello;|#00007#|hello.wav) speech(b;|#00003#|Hello;|#00007#|hello.wav) showinfo(|#00000#|A door)");
    QTest::newRow("call over three lines")
        << ";" << QStringList{QStringLiteral("speech(Bob;"), QStringLiteral("Hello;"), QStringLiteral("hello.wav)"), QStringLiteral("speech(a;a)")}
        << QStringList{QStringLiteral("speech(Bob;|#00003#|"), QStringLiteral("Hello;|#00007#|"), QStringLiteral("hello.wav)"), QStringLiteral("speech(a;|#00000#|a)")};
    QTest::newRow("call over two lines, separator at line start")
        << ";" << QStringList{QStringLiteral("  speech(Bob;Hello"), QStringLiteral(";hello.wav)")}
        << QStringList{QStringLiteral("  speech(Bob;|#00003#|Hello"), QStringLiteral(";|#00007#|hello.wav)")};
    QTest::newRow("call ends at the first )")
        << ";" << one("speech(Bob;Hello) ;hello.wav)") << one("speech(Bob;|#00003#|Hello) ;hello.wav)");
    QTest::newRow("unclosed call at the end of the file")
        << ";" << QStringList{QStringLiteral("speech(Bob;Hello;hel"), QStringLiteral("lo.wav")}
        << QStringList{QStringLiteral("speech(Bob;|#00003#|Hello;|#00007#|hel"), QStringLiteral("lo.wav")};
    QTest::newRow("game.002: 0xAF separates, ; is text")
        << af << QStringList{QStringLiteral("0;0;0;0;speech(Bob") + af + QStringLiteral("Hi; there") + af + QStringLiteral("hello.wav)")}
        << QStringList{QStringLiteral("0;0;0;0;speech(Bob") + af + QStringLiteral("|#00004#|Hi; there") + af + QStringLiteral("|#00007#|hello.wav)")};
    QTest::newRow("game.003: ; separates, 0xAF is text")
        << ";" << QStringList{QStringLiteral("speech(Bob;Hi") + af + QStringLiteral(";hello.wav)")}
        << QStringList{QStringLiteral("speech(Bob;Hi") + af + QStringLiteral(";|#00007#|hello.wav)")};
}

void TestGameData::markers()
{
    QFETCH(QString, separator);
    QFETCH(QStringList, in);
    QFETCH(QStringList, out);
    QCOMPARE(TextMarkers::apply(in, separator.at(0), markerLists()), out);
}

void TestGameData::markersInFile()
{
    // Windows-1252 bytes with CR LF; 0xAF is one byte in the file.
    const QByteArray file = "header\r\n\r\n//Item key\r\nkeyimg;speech(Bob\xAFHello\xAFhello.wav)\r\n\xE9t\xE9\r\n";
    const QByteArray expected =
        "header\r\n\r\n//Item key\r\nkeyimg;speech(Bob\xAF|#00003#|Hello\xAF|#00007#|hello.wav)\r\n\xE9t\xE9\r\n";
    QCOMPARE(TextMarkers::applyToFile(file, kAf, markerLists()), expected);
    // A file without a final line end gets one; a lone LF ends a line too.
    QCOMPARE(TextMarkers::applyToFile("a\nshowinfo(A door)", u';', markerLists()),
             QByteArray("a\r\nshowinfo(|#00000#|A door)\r\n"));
}

void TestGameData::pngKind_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("kind");
    using K = ImageSplitter::PngKind;
    QTest::newRow("grey") << pngHeader(0) << int(K::Opaque);
    QTest::newRow("rgb") << pngHeader(2) << int(K::Opaque);
    QTest::newRow("palette") << pngHeader(3) << int(K::Opaque);
    QTest::newRow("grey with alpha") << pngHeader(4) << int(K::WithAlpha);
    QTest::newRow("rgb with alpha") << pngHeader(6) << int(K::WithAlpha);
    QTest::newRow("unknown colour type") << pngHeader(7) << int(K::NotPng);
    QTest::newRow("cut short") << pngHeader(6).left(25) << int(K::NotPng);
    QByteArray jpeg = pngHeader(6);
    jpeg[0] = char(0xFF);
    QTest::newRow("not a PNG") << jpeg << int(K::NotPng);
    QByteArray noIhdr = pngHeader(6);
    noIhdr.replace(12, 4, "IDAT");
    QTest::newRow("first chunk not IHDR") << noIhdr << int(K::NotPng);
}

void TestGameData::pngKind()
{
    QFETCH(QByteArray, header);
    QFETCH(int, kind);
    QCOMPARE(int(ImageSplitter::pngKind(header)), kind);
}

void TestGameData::splitKeepsColourAndAlpha()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString png = writePng(dir.filePath(QStringLiteral("hero.png")), QImage::Format_ARGB32, 40, 30);
    QCOMPARE(ImageSplitter::pngKind(png), ImageSplitter::PngKind::WithAlpha);
    QCOMPARE(ImageSplitter::pngKind(writePng(dir.filePath(QStringLiteral("wall.png")), QImage::Format_RGB32)),
             ImageSplitter::PngKind::Opaque);
    QCOMPARE(ImageSplitter::pngKind(dir.filePath(QStringLiteral("missing.png"))), ImageSplitter::PngKind::NotPng);

    QCOMPARE(ImageSplitter::colourFileName(QStringLiteral("C:\\gfx\\Hero.PNG")), QStringLiteral("Hero.pnj"));
    QCOMPARE(ImageSplitter::alphaFileName(QStringLiteral("Hero.pnj")), QStringLiteral("Hero.pna"));

    const QString pnj = dir.filePath(QStringLiteral("out/hero.pnj"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    const ImageSplitter::Result r = ImageSplitter::split({png, pnj});
    QCOMPARE(r.status, ImageSplitter::Result::Ok);

    const QImage source = QImage(png).convertToFormat(QImage::Format_ARGB32);
    QImage colour(pnj, "jpg");
    QImage alpha(dir.filePath(QStringLiteral("out/hero.pna")), "jpg");
    QVERIFY(!colour.isNull());
    QVERIFY(!alpha.isNull());
    QCOMPARE(colour.size(), source.size());
    QCOMPARE(alpha.size(), source.size());
    QVERIFY(!colour.hasAlphaChannel());
    // Quality 96 keeps every sample close; the colour is not blended with the alpha, and the
    // alpha image is grey with the alpha as its level.
    int worst = 0;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y), c = colour.pixel(x, y), a = alpha.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(s) - qRed(c)), std::abs(qGreen(s) - qGreen(c)),
                              std::abs(qBlue(s) - qBlue(c)), std::abs(qAlpha(s) - qRed(a))});
            QCOMPARE(qRed(a), qGreen(a));
            QCOMPARE(qGreen(a), qBlue(a));
        }
    QVERIFY2(worst <= 12, qPrintable(QString::number(worst)));
    // The comparison covered fully transparent pixels, whose colour must survive as well.
    QCOMPARE(qAlpha(source.pixel(39, 0)), 0);
}

void TestGameData::splitFailures()
{
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("bad.png")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(pngHeader(6) + QByteArray(40, 'x'));
    bad.close();
    ImageSplitter::Result r = ImageSplitter::split({bad.fileName(), dir.filePath(QStringLiteral("bad.pnj"))});
    QCOMPARE(r.status, ImageSplitter::Result::NotDecoded);
    QVERIFY(r.error.startsWith(bad.fileName()));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bad.pnj"))));

    const QString png = writePng(dir.filePath(QStringLiteral("ok.png")), QImage::Format_ARGB32);
    r = ImageSplitter::split({png, dir.filePath(QStringLiteral("no/such/folder/ok.pnj"))});
    QCOMPARE(r.status, ImageSplitter::Result::NotWritten);
    QVERIFY(r.error.contains(QLatin1String("ok.pnj")));
}

void TestGameData::parallelSplitMatchesSerial()
{
    QTemporaryDir dir;
    std::vector<ImageSplitter::Job> serialJobs, parallelJobs;
    QDir().mkpath(dir.filePath(QStringLiteral("serial")));
    QDir().mkpath(dir.filePath(QStringLiteral("parallel")));
    for (int i = 0; i < 14; ++i) {
        // Jobs 3, 8 and 13 all write "same.pnj": the last one must win, as in a serial run.
        const QString name = i % 5 == 3 ? QStringLiteral("same") : QStringLiteral("img%1").arg(i);
        const QString png = writePng(dir.filePath(QStringLiteral("src%1.png").arg(i)), QImage::Format_ARGB32, 60 + i, 40, i);
        serialJobs.push_back({png, dir.filePath(QStringLiteral("serial/") + name + QStringLiteral(".pnj"))});
        parallelJobs.push_back({png, dir.filePath(QStringLiteral("parallel/") + name + QStringLiteral(".pnj"))});
    }
    QList<int> order;
    const auto serial = ImageSplitter::splitAll(serialJobs, 1);
    const auto parallel = ImageSplitter::splitAll(parallelJobs, 4, [&](int i) { order << i; });
    QCOMPARE(order.size(), 14);
    for (int i = 0; i < 14; ++i) {
        QCOMPARE(order[i], i);
        QCOMPARE(serial[size_t(i)].status, ImageSplitter::Result::Ok);
        QCOMPARE(parallel[size_t(i)].status, ImageSplitter::Result::Ok);
    }
    const QStringList names = QDir(dir.filePath(QStringLiteral("serial"))).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 2 * 12);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("parallel"))).entryList(QDir::Files, QDir::Name), names);
    for (const QString &n : names)
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("parallel/") + n)), fileBytes(dir.filePath(QStringLiteral("serial/") + n)));
    // The survivor of the three "same" jobs is the last one's image (job 13 is 73 wide).
    QCOMPARE(QImage(dir.filePath(QStringLiteral("parallel/same.pnj"))).width(), 60 + 13);
}

void TestGameData::imageList()
{
    QTemporaryDir dir;
    const QString hero = writePng(dir.filePath(QStringLiteral("Hero.PNG")), QImage::Format_ARGB32);
    const QString wall = writePng(dir.filePath(QStringLiteral("wall.png")), QImage::Format_RGB32);
    const QString grey = writePng(dir.filePath(QStringLiteral("greypng")), QImage::Format_Grayscale8);
    const QString bmp = dir.filePath(QStringLiteral("sky.bmp"));
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(bmp, "BMP"));

    MediaTable table;
    table.set(1, QStringLiteral("hero"), hero);
    table.set(2, QStringLiteral("wall"), wall);
    table.set(3, QStringLiteral("sky"), bmp);
    table.set(5, QStringLiteral("hero2"), hero); // the same file twice: each entry gets a split
    // A name that ends in "png": only path lines are looked at.
    table.set(6, QStringLiteral("mappng"), grey);
    const QStringList before{
        QStringLiteral("3.2 Mossbramble Project File. DO NOT MODIFY!!"), QStringLiteral("Commands :"),
        hero, // outside the image list: kept
        QStringLiteral("Images :"), QStringLiteral("hero"), hero, QStringLiteral("wall"), wall,
        QStringLiteral("sky"), bmp, QStringLiteral("hero2"), hero, QStringLiteral("mappng"), grey,
        QStringLiteral("Sounds :"), QStringLiteral("ding"), hero, QStringLiteral("Music :"), QStringLiteral("Movie :")};
    const QString split = dir.filePath(QStringLiteral("split"));
    const QString editor = QStringLiteral("/opt/mossbramble");
    const GameData::ImageList out = GameData::rewriteImageList(TextMarkers::joinLines(before), table, editor, split);
    QVERIFY2(out.ok(), qPrintable(out.error));

    QStringList after = before;
    after[5] = QStringLiteral("/opt/mossbramble/Hero.pnj");
    after[11] = QStringLiteral("/opt/mossbramble/Hero.pnj");
    QCOMPARE(TextMarkers::splitLines(out.file), after);

    QCOMPARE(table.path(1), QDir(split).filePath(QStringLiteral("Hero.pnj")));
    QCOMPARE(table.path(2), wall);
    QCOMPARE(table.path(3), bmp);
    QCOMPARE(table.path(5), QDir(split).filePath(QStringLiteral("Hero.pnj")));
    QCOMPARE(table.path(6), grey);
    QCOMPARE(int(out.splits.size()), 2);
    QCOMPARE(out.splits[0].source, hero);
    QCOMPARE(out.splits[1].colourPath, QDir(split).filePath(QStringLiteral("Hero.pnj")));
}

void TestGameData::imageListStopsAtBrokenPng()
{
    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("fake.png"));
    QFile f(fake);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a not a png at all, but long enough");
    f.close();
    MediaTable table;
    table.set(1, QStringLiteral("fake"), fake);
    const QStringList lines{QStringLiteral("Images :"), QStringLiteral("fake"), fake, QStringLiteral("Sounds :")};
    const GameData::ImageList out = GameData::rewriteImageList(TextMarkers::joinLines(lines), table, {}, dir.path());
    QVERIFY(!out.ok());
    QVERIFY(out.error.startsWith(fake));
    QCOMPARE(table.path(1), fake);
}

void TestGameData::password()
{
    QRandomGenerator random(7);
    QSet<QByteArray> seen;
    for (int i = 0; i < 200; ++i) {
        const QByteArray pw = BuildPassword::generate(random);
        QCOMPARE(pw.size(), BuildPassword::Length);
        for (char c : pw)
            QVERIFY((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
        seen.insert(pw);
        // game.005 holds three digits per character; dividing by the factors gives it back.
        const QByteArray line = BuildPassword::game005(pw);
        QVERIFY(line.endsWith("\r\n"));
        QCOMPARE(line.size(), 60 + 2);
        static const int factors[4] = {5, 4, 6, 3};
        QByteArray back;
        for (int k = 0; k < 20; ++k)
            back += char(line.mid(k * 3, 3).toInt() / factors[k / 5]);
        QCOMPARE(back, pw);
    }
    QCOMPARE(seen.size(), 200);
    QCOMPARE(BuildPassword::game005("0000000000zzzzzAAAAA"),
             QByteArray("240240240240240192192192192192732732732732732195195195195195\r\n"));
}

QTEST_GUILESS_MAIN(TestGameData)
#include "tst_gamedata.moc"
