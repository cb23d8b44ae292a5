#include "platform/moduledecoder.h"
#include "support/trackermodule.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mb;

namespace {

qint64 drain(QIODevice &device, int chunk)
{
    QByteArray buffer(chunk, '\0');
    qint64 total = 0;
    for (int guard = 0; guard < 1000000 && !device.atEnd(); ++guard) {
        const qint64 n = device.read(buffer.data(), chunk);
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

} // namespace

class TestModuleDecoder : public QObject
{
    Q_OBJECT
private slots:
    void pcmLength_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("chunk");
        QTest::newRow("16 rows, speed 3") << 16 << 3 << 4096;
        QTest::newRow("whole pattern, speed 1") << 64 << 1 << 4096;
        QTest::newRow("odd chunk size") << 8 << 6 << 1001;
    }
    void pcmLength()
    {
        QFETCH(int, rows);
        QFETCH(int, speed);
        QFETCH(int, chunk);
        ModuleDecoder decoder;
        QVERIFY2(decoder.loadData(testing::protrackerModule(rows, speed)), qPrintable(decoder.errorText()));
        const qint64 frames = qint64(rows) * speed * 882;
        QCOMPARE(decoder.durationSeconds(), double(frames) / ModuleDecoder::SampleRate);
        const qint64 bytes = drain(decoder, chunk);
        QVERIFY2(bytes % ModuleDecoder::BytesPerFrame == 0 || chunk % ModuleDecoder::BytesPerFrame != 0,
                 qPrintable(QString::number(bytes)));
        QVERIFY2(bytes >= frames * ModuleDecoder::BytesPerFrame, qPrintable(QString::number(bytes)));
        QVERIFY2(bytes <= (frames + ModuleDecoder::SampleRate / 10) * ModuleDecoder::BytesPerFrame,
                 qPrintable(QString::number(bytes)));
        QVERIFY(decoder.atEnd());
        QCOMPARE(decoder.read(16).size(), 0);
    }

    // The decoder really renders the sample, and playing again starts from the beginning.
    void soundAndRestart()
    {
        ModuleDecoder decoder;
        QVERIFY(decoder.loadData(testing::protrackerModule(16, 3)));
        const QByteArray first = decoder.read(44100);
        QCOMPARE(first.size(), 44100 / 4 * 4);
        QVERIFY(first.count('\0') < first.size() / 2);
        drain(decoder, 8192);
        QVERIFY(decoder.atEnd());
        decoder.rewind();
        QVERIFY(!decoder.atEnd());
        QCOMPARE(decoder.read(44100), first);

        decoder.seekSeconds(0.5);
        QVERIFY(qAbs(decoder.positionSeconds() - 0.5) < 0.07);
        const qint64 rest = drain(decoder, 4096) / ModuleDecoder::BytesPerFrame;
        QVERIFY2(rest >= 42336 - 22050 - 2700 && rest <= 42336 + 4410 - 22050 + 2700, qPrintable(QString::number(rest)));
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = testing::protrackerModule(16, 3);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("this is not music, just a line of text\n");
        QTest::newRow("zero bytes") << QByteArray(4096, '\0');
        QTest::newRow("cut in the sample table") << good.left(300);
        QTest::newRow("xm signature only") << QByteArray("Extended Module: ");
    }
    void damaged()
    {
        QFETCH(QByteArray, data);
        ModuleDecoder decoder;
        QVERIFY(!decoder.loadData(data));
        QVERIFY(!decoder.errorText().isEmpty());
        QVERIFY(!decoder.isLoaded());
        QVERIFY(!decoder.isOpen());
        QVERIFY(decoder.atEnd());
        QCOMPARE(decoder.durationSeconds(), 0.0);
    }

    void fromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tune.mod"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testing::protrackerModule(16, 3));
        f.close();
        ModuleDecoder decoder;
        QVERIFY(decoder.load(path));
        QCOMPARE(decoder.title(), QStringLiteral("test"));
        QVERIFY(decoder.formatName().contains(QLatin1String("ProTracker")));
        // A failed load leaves nothing of the previous module behind.
        QVERIFY(!decoder.load(dir.filePath(QStringLiteral("missing.xm"))));
        QVERIFY(!decoder.errorText().isEmpty());
        QVERIFY(!decoder.isLoaded());
    }
};

QTEST_GUILESS_MAIN(TestModuleDecoder)
#include "tst_moduledecoder.moc"
