#include "build/fontcharset.h"
#include "build/fontfiles.h"
#include "build/fontgrid.h"
#include "build/fontrenderer.h"
#include "platform/bmp16writer.h"
#include "platform/ziparchive.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <vector>

using namespace mb;

namespace {

RFont makeFont(int size = 12, int style = 0, int shadow = 0, int fill = 0,
               const QString &name = QStringLiteral("Liberation Sans"))
{
    RFont f;
    f.name = name;
    f.size = size;
    f.outline = style;
    f.shadow = shadow;
    f.fill = fill;
    return f;
}

QList<int> numbers(const QByteArray &fontData)
{
    QList<int> values;
    for (const QByteArray &line : fontData.split('\n'))
        if (!line.isEmpty())
            values << line.trimmed().toInt();
    return values;
}

int value(QRgb c) { return qRed(c); }

// Smallest rectangle holding every pixel that is not black.
QRect inkBounds(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (value(img.pixel(x, y)) > 0)
                r |= QRect(x, y, 1, 1);
    return r;
}

bool allBlack(const QImage &img) { return inkBounds(img).isNull(); }

quint16 u16At(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 u32At(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestFontRenderer : public QObject
{
    Q_OBJECT
private slots:
    void gridLayout_data()
    {
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<int>("maxHeight");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<int>("cellWidth");
        QTest::addColumn<int>("cellHeight");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("plain") << 16 << 17 << 0 << 0 << 18 << 19 << 14 << 13 << 2;
        QTest::newRow("shadow A") << 16 << 17 << 1 << 0 << 19 << 20 << 13 << 12 << 2;
        QTest::newRow("shadow B") << 16 << 17 << 2 << 0 << 19 << 20 << 13 << 12 << 2;
        QTest::newRow("outline") << 16 << 17 << 3 << 0 << 20 << 21 << 12 << 12 << 2;
        QTest::newRow("soft shadow") << 16 << 17 << 0 << 1 << 21 << 22 << 12 << 11 << 2;
        QTest::newRow("outline and soft shadow") << 16 << 17 << 3 << 2 << 23 << 24 << 11 << 10 << 3;
        QTest::newRow("shadow level does not matter") << 16 << 17 << 3 << 3 << 23 << 24 << 11 << 10 << 3;
        // 16 x 14 cells hold exactly the 224 characters; the last page stays empty.
        QTest::newRow("exact fit") << 14 << 16 << 0 << 0 << 16 << 18 << 16 << 14 << 2;
        QTest::newRow("exact fit, four pages") << 30 << 33 << 0 << 0 << 32 << 35 << 8 << 7 << 5;
        QTest::newRow("one cell short of a fit") << 14 << 17 << 0 << 0 << 16 << 19 << 16 << 13 << 2;
        QTest::newRow("cell fills the page") << 254 << 254 << 0 << 0 << 256 << 256 << 1 << 1 << 225;
        QTest::newRow("cell too wide") << 255 << 10 << 0 << 0 << 257 << 12 << 0 << 21 << 0;
    }
    void gridLayout()
    {
        QFETCH(int, maxWidth);
        QFETCH(int, maxHeight);
        QFETCH(int, style);
        QFETCH(int, shadow);
        QFETCH(int, cellWidth);
        QFETCH(int, cellHeight);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, pages);
        const FontGrid g = FontGrid::forMaxima(maxWidth, maxHeight, style, shadow);
        QCOMPARE(g.cellWidth, cellWidth);
        QCOMPARE(g.cellHeight, cellHeight);
        QCOMPARE(g.columns, columns);
        QCOMPARE(g.rows, rows);
        QCOMPARE(g.pages, pages);
        if (g.fits()) {
            QCOMPARE(g.cellOrigin(0), QPoint(0, 0));
            QCOMPARE(g.cellOrigin(g.columns - 1), QPoint((g.columns - 1) * g.cellWidth, 0));
            QCOMPARE(g.cellOrigin(g.columns), QPoint(0, g.cellHeight));
        }
    }

    void fileNames()
    {
        QCOMPARE(FontFiles::pageName(1, 1, false), QStringLiteral("font1.bm1"));
        QCOMPARE(FontFiles::pageName(3, 12, false), QStringLiteral("font3.bm12"));
        QCOMPARE(FontFiles::pageName(3, 12, true), QStringLiteral("font3.al12"));
        QCOMPARE(FontFiles::dataName(7), QStringLiteral("fontdata.007"));
        QCOMPARE(FontFiles::dataName(10), QStringLiteral("fontdata.0010"));
        QCOMPARE(FontFiles::archiveName(10), QStringLiteral("font.0010"));
        QCOMPARE(FontFiles::archiveName(99), QStringLiteral("font.0099"));
    }

    void charsetCharacters_data()
    {
        QTest::addColumn<int>("charset");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Western euro") << 0 << 0x80 << QStringLiteral("\u20AC");
        QTest::newRow("Western undefined") << 0 << 0x81 << QString();
        QTest::newRow("Western umlaut") << 0 << 0xE4 << QStringLiteral("\u00E4");
        QTest::newRow("East european") << 1 << 0x8A << QStringLiteral("\u0160");
        QTest::newRow("Russian") << 2 << 0xC0 << QStringLiteral("\u0410");
        QTest::newRow("Greek") << 3 << 0xC1 << QStringLiteral("\u0391");
        QTest::newRow("Turkish") << 4 << 0xF0 << QStringLiteral("\u011F");
        QTest::newRow("Arabic") << 5 << 0xC7 << QStringLiteral("\u0627");
        QTest::newRow("Hebrew") << 6 << 0xE0 << QStringLiteral("\u05D0");
        QTest::newRow("Vietnamese letter") << 7 << 0xC3 << QStringLiteral("\u0102");
        QTest::newRow("Vietnamese accent") << 7 << 0xCC << QStringLiteral("\u0300");
        QTest::newRow("Thai") << 8 << 0xA1 << QStringLiteral("\u0E01");
        QTest::newRow("Baltic") << 9 << 0xE0 << QStringLiteral("\u0105");
        QTest::newRow("Japanese katakana") << 10 << 0xB1 << QStringLiteral("\uFF71");
        QTest::newRow("Japanese lead byte") << 10 << 0x82 << QString();
        QTest::newRow("Dos OEM") << 11 << 0x80 << QStringLiteral("\u00C7");
        QTest::newRow("Dos OEM box") << 11 << 0xC9 << QStringLiteral("\u2554");
        QTest::newRow("Symbol passes through") << 12 << 0xB7 << QStringLiteral("\u00B7");
        QTest::newRow("unknown set is Western") << 99 << 0x80 << QStringLiteral("\u20AC");
        QTest::newRow("ASCII in Japanese") << 10 << 0x5C << QStringLiteral("\\");
        QTest::newRow("ASCII in Dos OEM") << 11 << 0x41 << QStringLiteral("A");
    }
    void charsetCharacters()
    {
        QFETCH(int, charset);
        QFETCH(int, code);
        QFETCH(QString, expected);
        const QStringList chars = FontCharset::characters(charset);
        QCOMPARE(chars.size(), 224);
        QCOMPARE(chars.at(code - 32), expected);
    }

    void fontDataFile()
    {
        const FontRenderer r(makeFont(12));
        const QByteArray data = r.fontData();
        QVERIFY(data.endsWith("\r\n"));
        QCOMPARE(data.count("\r\n"), 229);
        QCOMPARE(data.count('\n'), 229);
        const QList<int> v = numbers(data);
        QCOMPARE(v.size(), 229);
        const int pages = v[0], w = v[1], h = v[2], columns = v[3], rows = v[4];
        const QList<int> advances = v.mid(5);
        QCOMPARE(w, *std::max_element(advances.begin(), advances.end()) + 2);
        // 12 points on a 96 dpi screen are 16 pixels; the line must hold them.
        QVERIFY2(h - 2 >= 16, qPrintable(QString::number(h)));
        QCOMPARE(columns, 256 / w);
        QCOMPARE(rows, 256 / h);
        QCOMPARE(pages, 224 / (columns * rows) + 1);
        QVERIFY(advances[0] > 0);          // the space
        QCOMPARE(advances[0x81 - 32], 0); // no character in Windows-1252
    }

    void cellAndAdvanceGrowth_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<int>("cellGrowth");
        QTest::addColumn<int>("advanceGrowth");
        QTest::newRow("shadow A") << 1 << 0 << 1 << 1;
        QTest::newRow("shadow B") << 2 << 0 << 1 << 1;
        QTest::newRow("outline") << 3 << 0 << 2 << 2;
        QTest::newRow("soft shadow 25%") << 0 << 1 << 3 << 0;
        QTest::newRow("soft shadow 75%") << 0 << 3 << 3 << 0;
        QTest::newRow("shadow B, soft shadow") << 2 << 1 << 4 << 1;
        QTest::newRow("outline, soft shadow 50%") << 3 << 2 << 5 << 2;
    }
    void cellAndAdvanceGrowth()
    {
        QFETCH(int, style);
        QFETCH(int, shadow);
        QFETCH(int, cellGrowth);
        QFETCH(int, advanceGrowth);
        // Growth over the plain font of the same typeface and size.
        const QList<int> plain = numbers(FontRenderer(makeFont(12)).fontData());
        const QList<int> styled = numbers(FontRenderer(makeFont(12, style, shadow)).fontData());
        QCOMPARE(styled.size(), 229);
        QCOMPARE(styled[1] - plain[1], cellGrowth);
        QCOMPARE(styled[2] - plain[2], cellGrowth);
        for (int i = 5; i < 229; ++i)
            QCOMPARE(styled[i] - plain[i], advanceGrowth);
    }

    void exactFitEndsInEmptyPage()
    {
        // Find a font whose cells hold the 224 characters exactly; the metrics come from the
        // installed typeface, so search rather than assume.
        for (int size = 6; size <= 28; ++size) {
            for (int style = 0; style <= 3; ++style) {
                const RFont font = makeFont(size, style);
                const FontRenderer r(font);
                const FontGrid &g = r.grid();
                if (224 % g.cellsPerPage() != 0)
                    continue;
                QCOMPARE(g.pages, 224 / g.cellsPerPage() + 1);
                QCOMPARE(numbers(r.fontData()).first(), g.pages);
                const FontRenderer::Page last = r.renderPage(g.pages);
                QVERIFY(allBlack(last.colour));
                QVERIFY(allBlack(last.alpha));
                // The page before it is full to its last cell ("ÿ").
                const FontRenderer::Page full = r.renderPage(g.pages - 1);
                const QPoint lastCell = g.cellOrigin(g.cellsPerPage() - 1);
                const QImage lastGlyph = full.alpha.copy(QRect(lastCell, QSize(g.cellWidth, g.cellHeight)));
                QVERIFY(!allBlack(lastGlyph));
                QVERIFY(r.renderPage(g.pages + 1).colour.isNull());
                return;
            }
        }
        QSKIP("no size of the installed typeface gives an exact fit");
    }

    void alphaCoversStyleCopies_data()
    {
        // Where the alpha page is opaque at all, relative to the glyphs of the colour page.
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<QList<QPoint>>("offsets");
        const QList<QPoint> glyph = {QPoint(0, 0)};
        const QList<QPoint> shadowA = {QPoint(-1, -1)}, shadowB = {QPoint(1, 1)};
        const QList<QPoint> outline = {QPoint(-1, -1), QPoint(1, 1), QPoint(-1, 1), QPoint(1, -1),
                                       QPoint(-1, 0), QPoint(0, -1), QPoint(1, 0), QPoint(0, 1)};
        const QList<QPoint> soft = {QPoint(3, 3)};
        QTest::newRow("plain") << 0 << 0 << glyph;
        QTest::newRow("shadow A") << 1 << 0 << glyph + shadowA;
        QTest::newRow("shadow B") << 2 << 0 << glyph + shadowB;
        QTest::newRow("outline") << 3 << 0 << glyph + outline;
        QTest::newRow("soft shadow") << 0 << 2 << glyph + soft;
        QTest::newRow("shadow B, soft shadow") << 2 << 3 << glyph + shadowB + soft;
        QTest::newRow("outline, soft shadow") << 3 << 1 << glyph + outline + soft;
    }
    void alphaCoversStyleCopies()
    {
        QFETCH(int, style);
        QFETCH(int, shadow);
        QFETCH(QList<QPoint>, offsets);
        const FontRenderer::Page page = FontRenderer(makeFont(14, style, shadow)).renderPage(1);
        // Glyphs are drawn at whole pixels, so every copy covers the glyph's pixels moved by
        // its offset: the alpha page's ink is the union of the moved glyphs. The soft shadow
        // is dim, so the faintest edge pixels of the glyph may leave no trace in it.
        enum Ink : uint8_t { None, May, Must };
        std::vector<Ink> expected(256 * 256, None);
        int glyphPixels = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const int c = value(page.colour.pixel(x, y));
                if (c == 0)
                    continue;
                ++glyphPixels;
                for (QPoint d : std::as_const(offsets)) {
                    if (!QRect(0, 0, 256, 256).contains(x + d.x(), y + d.y()))
                        continue;
                    Ink &e = expected[(y + d.y()) * 256 + x + d.x()];
                    e = std::max(e, d == QPoint(3, 3) && c < 64 ? May : Must);
                }
            }
        QVERIFY(glyphPixels > 1000);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const int a = value(page.alpha.pixel(x, y));
                const Ink e = expected[y * 256 + x];
                if ((a > 0 && e == None) || (a == 0 && e == Must))
                    QFAIL(qPrintable(QStringLiteral("alpha page is %1 at %2,%3").arg(a).arg(x).arg(y)));
            }
    }

    void softShadowGrey_data()
    {
        QTest::addColumn<int>("shadow");
        QTest::addColumn<int>("grey");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("25%") << 1 << 0x44;
        QTest::newRow("50%") << 2 << 0x88;
        QTest::newRow("75%") << 3 << 0xCC;
    }
    void softShadowGrey()
    {
        QFETCH(int, shadow);
        QFETCH(int, grey);
        const FontRenderer::Page page = FontRenderer(makeFont(16, 0, shadow)).renderPage(1);
        // Where the colour page has no glyph, the alpha page shows nothing but the shadow; at
        // its full strength the shadow has exactly its grey.
        int strongest = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (value(page.colour.pixel(x, y)) == 0)
                    strongest = std::max(strongest, value(page.alpha.pixel(x, y)));
        QCOMPARE(strongest, grey);
        if (shadow == 0)
            QCOMPARE(page.alpha, page.colour);
    }

    void styleCopiesAreOpaqueBlack_data()
    {
        QTest::addColumn<int>("style");
        QTest::newRow("shadow A") << 1;
        QTest::newRow("shadow B") << 2;
        QTest::newRow("outline") << 3;
    }
    void styleCopiesAreOpaqueBlack()
    {
        QFETCH(int, style);
        const FontRenderer::Page page = FontRenderer(makeFont(16, style)).renderPage(1);
        int opaqueBlack = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                opaqueBlack += value(page.colour.pixel(x, y)) == 0 && value(page.alpha.pixel(x, y)) == 255;
        QVERIFY(opaqueBlack > 100);
    }

    void fillGreyLevels_data()
    {
        QTest::addColumn<int>("fill");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("cellHeight");
        QTest::addColumn<int>("grey");
        QTest::newRow("normal") << 0 << 5 << 20 << 255;
        QTest::newRow("falloff 1 capped at the top") << 1 << 1 << 20 << 255;
        QTest::newRow("falloff 1 first uncapped") << 1 << 2 << 20 << 255;
        QTest::newRow("falloff 1 middle") << 1 << 10 << 20 << 195;
        QTest::newRow("falloff 1 half rounds up") << 1 << 3 << 20 << 247; // 270 - 22.5
        QTest::newRow("falloff 1 bottom") << 1 << 20 << 20 << 120;
        QTest::newRow("falloff 2 top") << 2 << 1 << 20 << 128;           // 7.5 + 120
        QTest::newRow("falloff 2 middle") << 2 << 10 << 20 << 195;
        QTest::newRow("falloff 2 capped at the bottom") << 2 << 20 << 20 << 255;
        QTest::newRow("falloff 2 odd height") << 2 << 7 << 21 << 170;
        QTest::newRow("scanlines odd row") << 3 << 1 << 20 << 0xBB;
        QTest::newRow("scanlines even row") << 3 << 2 << 20 << 0xFF;
        QTest::newRow("unknown fill is white") << 7 << 3 << 20 << 255;
    }
    void fillGreyLevels()
    {
        QFETCH(int, fill);
        QFETCH(int, k);
        QFETCH(int, cellHeight);
        QFETCH(int, grey);
        QCOMPARE(FontRenderer::fillGrey(fill, k, cellHeight), grey);
    }

    void fillRowsOnPage_data()
    {
        QTest::addColumn<int>("fill");
        QTest::newRow("normal") << 0;
        QTest::newRow("falloff 1") << 1;
        QTest::newRow("falloff 2") << 2;
        QTest::newRow("scanlines") << 3;
    }
    void fillRowsOnPage()
    {
        QFETCH(int, fill);
        const FontRenderer r(makeFont(20, 0, 0, fill));
        const FontGrid &g = r.grid();
        const FontRenderer::Page page = r.renderPage(1);
        // Every pixel the glyph covers fully (opaque on the alpha page) has the grey of its row
        // on the colour page; row k of a cell is the cell's top + k + 1.
        int checked = 0;
        for (int y = 0; y < 256; ++y) {
            const int k = y % g.cellHeight - 1;
            for (int x = 0; x < 256; ++x) {
                const QRgb c = page.colour.pixel(x, y);
                QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
                if (value(page.alpha.pixel(x, y)) != 255)
                    continue;
                QVERIFY2(k >= 1, qPrintable(QStringLiteral("opaque pixel above the glyph rows at %1,%2").arg(x).arg(y)));
                QCOMPARE(value(c), FontRenderer::fillGrey(fill, k, g.cellHeight));
                ++checked;
            }
        }
        QVERIFY(checked > 500);
    }

    void bmpPageFile()
    {
        QImage page(256, 256, QImage::Format_RGB32);
        page.fill(Qt::black);
        page.setPixel(0, 0, qRgb(255, 255, 255));
        page.setPixel(1, 0, qRgb(0x88, 0x88, 0x88));
        page.setPixel(255, 255, qRgb(0xFF, 0, 0x0F));
        const QByteArray bmp = Bmp16Writer::encode(page);
        QCOMPARE(bmp.size(), 54 + 256 * 256 * 2);
        const QByteArray header = QByteArray::fromHex("424d" "36000200" "0000" "0000" "36000000"
                                                      "28000000" "00010000" "00010000" "0100" "1000"
                                                      "00000000" "00000200" "00000000" "00000000"
                                                      "00000000" "00000000");
        QCOMPARE(bmp.left(54).toHex(), header.toHex());
        QCOMPARE(u32At(bmp, 2), quint32(bmp.size()));
        // Rows are stored bottom-up, 512 bytes each; pixels are 5-5-5.
        const int topRow = 54 + 255 * 512;
        QCOMPARE(u16At(bmp, topRow), quint16(0x7FFF));
        QCOMPARE(u16At(bmp, topRow + 2), quint16((17 << 10) | (17 << 5) | 17));
        QCOMPARE(u16At(bmp, topRow + 4), quint16(0));
        QCOMPARE(u16At(bmp, 54 + 255 * 2), quint16((31 << 10) | 1));
        QCOMPARE(u16At(bmp, 54), quint16(0));

        const QImage back = QImage::fromData(bmp, "BMP");
        QCOMPARE(back.size(), QSize(256, 256));
        QCOMPARE(qRed(back.pixel(0, 0)) >> 3, 31);
        QCOMPARE(qRed(back.pixel(1, 0)) >> 3, 17);
        QCOMPARE(qRed(back.pixel(255, 255)) >> 3, 31);
        QCOMPARE(qBlue(back.pixel(255, 255)) >> 3, 1);

        // Widths that are not a multiple of two pixels pad their rows to four bytes.
        QImage odd(3, 2, QImage::Format_RGB32);
        odd.fill(Qt::white);
        const QByteArray small = Bmp16Writer::encode(odd);
        QCOMPARE(small.size(), 54 + 2 * 8);
        QCOMPARE(u16At(small, 54 + 6), quint16(0));
        QVERIFY(Bmp16Writer::encode(QImage()).isEmpty());
    }

    void projectFontsArchive()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString folder = tmp.path();
        {
            QFile stale(QDir(folder).filePath(QStringLiteral("fonts.dat")));
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("not a zip archive");
        }
        ProjectModel model;
        model.fonts[1] = makeFont(12, 0, 0, 0, QStringLiteral("Arial"));
        model.fonts[2] = makeFont(24, 3, 2, 3);
        model.fonts[2].bold = true;
        model.fonts[3] = makeFont(9, 1, 0, 1);
        model.fonts[3].italic = true;
        model.fonts[3].charset = 2;
        model.fonts[5] = makeFont(10); // after the gap: not part of the table
        QList<int> reported;
        QString error;
        QVERIFY2(FontFiles::renderProjectFonts(model, folder, &error, [&](int i) { reported << i; }),
                 qPrintable(error));
        QCOMPARE(reported, QList<int>({1, 2, 3}));
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("fonts.dat")});

        ZipReader pack(QDir(folder).filePath(QStringLiteral("fonts.dat")));
        QVERIFY2(pack.isOpen(), qPrintable(pack.errorString()));
        const QStringList archives = {QStringLiteral("font.001"), QStringLiteral("font.002"),
                                      QStringLiteral("font.003")};
        QCOMPARE(pack.entryNames(), archives);
        for (int i = 1; i <= 3; ++i) {
            const QString name = archives[i - 1];
            QCOMPARE(pack.compressionMethod(name), 0);
            QVERIFY(!pack.isEncrypted(name));
            const std::optional<QByteArray> archive = pack.read(name);
            QVERIFY(archive);
            // Deflated at the best level: the first local header says "maximum compression".
            QCOMPARE(archive->left(4), QByteArray("PK\x03\x04"));
            QCOMPARE((u16At(*archive, 6) >> 1) & 3, 1);

            const FontRenderer renderer(model.fonts[i]);
            const int pages = renderer.grid().pages;
            QStringList expected;
            for (int p = 1; p <= pages; ++p)
                expected << FontFiles::pageName(i, p, false) << FontFiles::pageName(i, p, true);
            expected << FontFiles::dataName(i);
            ZipReader font(*archive);
            QVERIFY2(font.isOpen(), qPrintable(font.errorString()));
            QCOMPARE(font.entryNames(), expected);
            for (const QString &entry : expected) {
                QCOMPARE(font.compressionMethod(entry), 8);
                QVERIFY(!font.isEncrypted(entry));
            }
            QCOMPARE(*font.read(FontFiles::dataName(i)), renderer.fontData());
            const std::optional<QByteArray> alpha = font.read(FontFiles::pageName(i, 1, true));
            QVERIFY(alpha);
            QCOMPARE(alpha->size(), 131126);
            QCOMPARE(*alpha, Bmp16Writer::encode(renderer.renderPage(1).alpha));
        }
    }

    void tenthFontIsNamedByConcatenation()
    {
        QTemporaryDir tmp;
        ProjectModel model;
        for (int i = 1; i <= 10; ++i)
            model.fonts[i] = makeFont(6 + i);
        QString error;
        QVERIFY2(FontFiles::renderProjectFonts(model, tmp.path(), &error), qPrintable(error));
        ZipReader pack(QDir(tmp.path()).filePath(QStringLiteral("fonts.dat")));
        const QStringList names = pack.entryNames();
        QCOMPARE(names.size(), 10);
        QCOMPARE(names.first(), QStringLiteral("font.001"));
        QCOMPARE(names.at(8), QStringLiteral("font.009"));
        QCOMPARE(names.last(), QStringLiteral("font.0010"));
        ZipReader tenth(*pack.read(QStringLiteral("font.0010")));
        QCOMPARE(tenth.entryNames().first(), QStringLiteral("font10.bm1"));
        QCOMPARE(tenth.entryNames().at(1), QStringLiteral("font10.al1"));
        QCOMPARE(tenth.entryNames().last(), QStringLiteral("fontdata.0010"));
        QCOMPARE(filesIn(tmp.path()), QStringList{QStringLiteral("fonts.dat")});
    }

    void failuresLeaveNoFiles()
    {
        QString error;
        {
            QTemporaryDir tmp;
            ProjectModel model;
            model.fonts[2] = makeFont(); // font 1 missing: the table is empty
            QVERIFY(!FontFiles::renderProjectFonts(model, tmp.path(), &error));
            QVERIFY(!error.isEmpty());
            QVERIFY(filesIn(tmp.path()).isEmpty());
        }
        {
            // Font 2 cannot fit a page; font 1's archive and an older pack are gone afterwards.
            QTemporaryDir tmp;
            QFile stale(QDir(tmp.path()).filePath(QStringLiteral("fonts.dat")));
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.close();
            ProjectModel model;
            model.fonts[1] = makeFont();
            model.fonts[2] = makeFont(400);
            error.clear();
            QVERIFY(!FontFiles::renderProjectFonts(model, tmp.path(), &error));
            QVERIFY2(error.contains(QStringLiteral("font.002")), qPrintable(error));
            QVERIFY(filesIn(tmp.path()).isEmpty());
        }
        {
            ProjectModel model;
            model.fonts[1] = makeFont();
            const QString missing = QStringLiteral("/nonexistent-mossbramble-folder/data");
            error.clear();
            QVERIFY(!FontFiles::renderProjectFonts(model, missing, &error));
            QVERIFY2(error.contains(missing), qPrintable(error));
        }
    }
};

// Fonts come from the font database of a QGuiApplication (offscreen under ctest).
QTEST_MAIN(TestFontRenderer)
#include "tst_fontrenderer.moc"
