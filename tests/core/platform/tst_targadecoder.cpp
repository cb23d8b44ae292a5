#include "platform/targadecoder.h"

#include <QTest>
#include <QtEndian>

using namespace mb;

namespace {

QByteArray header(int type, int width, int height, int depth, int descriptor, int mapLength = 0, int mapBits = 0)
{
    QByteArray h(18, '\0');
    h[1] = char(mapLength ? 1 : 0);
    h[2] = char(type);
    qToLittleEndian(quint16(mapLength), h.data() + 5);
    h[7] = char(mapBits);
    qToLittleEndian(quint16(width), h.data() + 12);
    qToLittleEndian(quint16(height), h.data() + 14);
    h[16] = char(depth);
    h[17] = char(descriptor);
    return h;
}

QByteArray bgr(QRgb c) { return QByteArray() + char(qBlue(c)) + char(qGreen(c)) + char(qRed(c)); }
QByteArray bgra(QRgb c) { return bgr(c) + char(qAlpha(c)); }

const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), W = qRgb(255, 255, 255);

} // namespace

class TestTargaDecoder : public QObject
{
    Q_OBJECT
private slots:
    // Every picture is 2 x 2: top row red, green; bottom row blue, white.
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("24-bit, top-down, no footer")
            << header(2, 2, 2, 24, 0x20) + bgr(R) + bgr(G) + bgr(B) + bgr(W) << false;
        QTest::newRow("24-bit, bottom-up")
            << header(2, 2, 2, 24, 0x00) + bgr(B) + bgr(W) + bgr(R) + bgr(G) << false;
        QTest::newRow("24-bit, right-to-left, with id and footer")
            << [] { QByteArray h = header(2, 2, 2, 24, 0x30); h[0] = 3;
                    return h + "abc" + bgr(G) + bgr(R) + bgr(W) + bgr(B) + QByteArray(8, 0) + "TRUEVISION-XFILE." + '\0'; }()
            << false;
        QTest::newRow("32-bit run-length, packets across rows")
            << header(10, 2, 2, 32, 0x28) + char(0x80 | 0) + bgra(R) + char(1) + bgra(G) + bgra(qRgba(0, 0, 255, 128)) + char(0) + bgra(W)
            << true;
        QTest::newRow("32-bit with an empty alpha channel is opaque")
            << header(2, 2, 2, 32, 0x20) + bgr(R) + '\0' + bgr(G) + '\0' + bgr(B) + '\0' + bgr(W) + '\0' << false;
        QTest::newRow("16-bit 5-5-5")
            << header(2, 2, 2, 16, 0x20) + QByteArray("\x00\x7c\xe0\x03\x1f\x00\xff\x7f", 8) << false;
        QTest::newRow("colour-mapped, run-length")
            << header(9, 2, 2, 8, 0x20, 4, 24) + bgr(R) + bgr(G) + bgr(B) + bgr(W) + char(3) + QByteArray("\x00\x01\x02\x03", 4) << false;
    }
    void decodes()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, alpha);
        QString error;
        const QImage img = TargaDecoder::decode(data, &error);
        QVERIFY2(!img.isNull(), qPrintable(error));
        QCOMPARE(img.size(), QSize(2, 2));
        QCOMPARE(img.hasAlphaChannel(), alpha);
        QCOMPARE(img.pixel(0, 0), R);
        QCOMPARE(img.pixel(1, 0), G);
        QCOMPARE(qAlpha(img.pixel(0, 1)), alpha ? 128 : 255);
        QCOMPARE(img.pixel(0, 1) & 0xFFFFFF, B & 0xFFFFFF);
        QCOMPARE(img.pixel(1, 1), W);
    }

    void grey()
    {
        const QImage img = TargaDecoder::decode(header(3, 1, 1, 8, 0x20) + char(77));
        QCOMPARE(img.pixel(0, 0), qRgb(77, 77, 77));
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = header(2, 2, 2, 24, 0x20) + bgr(R) + bgr(G) + bgr(B) + bgr(W);
        QTest::newRow("header cut") << good.left(10);
        QTest::newRow("pixels cut") << good.left(good.size() - 1);
        QTest::newRow("no pixels") << header(2, 0, 5, 24, 0);
        QTest::newRow("unknown type") << header(5, 2, 2, 24, 0) + good.mid(18);
        QTest::newRow("odd depth") << header(2, 2, 2, 12, 0) + good.mid(18);
        QTest::newRow("mapped without map") << header(1, 2, 2, 8, 0) + QByteArray(4, 0);
        QTest::newRow("map cut") << header(1, 2, 2, 8, 0, 200, 24) + QByteArray(30, 0);
        QTest::newRow("run-length cut") << header(10, 2, 2, 24, 0) + char(0x81) + bgr(R);
        // A header claiming 65535 x 65535 with a few bytes must fail before allocating.
        QTest::newRow("huge claim") << header(10, 65535, 65535, 32, 0) + QByteArray(64, '\xff');
        QTest::newRow("big claim, short data") << header(2, 4000, 4000, 24, 0) + QByteArray(100, 0);
    }
    void refuses()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(TargaDecoder::decode(data, &error).isNull());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTargaDecoder)
#include "tst_targadecoder.moc"
