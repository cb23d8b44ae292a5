// The one zip reading layer: names, damaged data, bombs, and unpacking archives from elsewhere.
#include "platform/safeextract.h"
#include "platform/ziparchive.h"
#include "platform/zipentrystream.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/filebytes.h"
#include "support/handzip.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using namespace mb::testing;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray deflated(const QString &name, const QByteArray &data)
{
    ZipWriter zip;
    zip.addBytes(name, data, 9);
    zip.close();
    return zip.bytes();
}

} // namespace

class TestZipArchive : public QObject
{
    Q_OBJECT
private slots:
    void namesAreWrittenAsWindows1252_data();
    void namesAreWrittenAsWindows1252();
    void namesOfArchivesMadeElsewhere_data();
    void namesOfArchivesMadeElsewhere();
    void bitFlipsAreJudgedLikeUnzip();
    void declaredSizeBombIsRefusedBeforeAnything();
    void dataPastTheDeclaredSizeIsDamage();
    void hostileArchivesLeaveNothing_data();
    void hostileArchivesLeaveNothing();
    void linkInsideTheTargetIsRefusedBeforeAnythingIsMade();
    void existingFilesAreNeverReplaced();
    void archivesLargerThanTheFreeSpaceAreRefused();
    void entryStreamHandsOnWholeLines_data();
    void entryStreamHandsOnWholeLines();
    void entryStreamTellsDamageAtTheEnd_data();
    void entryStreamTellsDamageAtTheEnd();
    void entryStreamReaderMayStopEarly();
};

void TestZipArchive::namesAreWrittenAsWindows1252_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("utf8Flag");
    QTest::newRow("ascii") << QStringLiteral("door.png") << QByteArray("door.png") << false;
    QTest::newRow("umlaut") << QStringLiteral("schlüssel.png") << QByteArray("schl\xfcssel.png") << false;
    QTest::newRow("euro sign") << QStringLiteral("\u20ACuro.wav") << QByteArray("\x80uro.wav") << false;
    // No Windows-1252 byte exists for these: UTF-8, and the flag says so.
    QTest::newRow("outside the code page") << QStringLiteral("\u65E5\u672C.png")
                                           << QByteArray("\xe6\x97\xa5\xe6\x9c\xac.png") << true;
}

void TestZipArchive::namesAreWrittenAsWindows1252()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    QFETCH(bool, utf8Flag);
    ZipWriter writer;
    QVERIFY(writer.addBytes(name, "data", 0));
    QVERIFY(writer.close());
    const QByteArray zip = writer.bytes();
    const EntryHeaders h = findEntryHeaders(zip, stored);
    QVERIFY2(h.central >= 0, "the name is not stored as the expected bytes");
    QCOMPARE(bool(h.flags & 0x0800), utf8Flag);
    QCOMPARE(bool(getLe(zip, h.local + 6, 2) & 0x0800), utf8Flag);
    QCOMPARE(getLe(zip, h.central + 30, 2), 0u); // no extra field (a Unicode path) beside the name

    ZipReader reader(zip);
    QCOMPARE(reader.entryNames(), QStringList{name});
    QCOMPARE(reader.read(name), std::optional<QByteArray>("data"));
}

void TestZipArchive::namesOfArchivesMadeElsewhere_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("utf8Flag");
    QTest::addColumn<QString>("name");
    QTest::newRow("Windows-1252") << QByteArray("schl\xfcssel.png") << false << QStringLiteral("schlüssel.png");
    QTest::newRow("flagged UTF-8") << QByteArray("schl\xc3\xbcssel.png") << true << QStringLiteral("schlüssel.png");
    // Bytes that happen to be valid UTF-8 are still Windows-1252 without the flag.
    QTest::newRow("unflagged UTF-8 look-alike") << QByteArray("\xc3\xbc.png") << false << QStringLiteral("Ã¼.png");
    QTest::newRow("undefined code point") << QByteArray("\x81.wav") << false << QStringLiteral("\u0081.wav");
}

void TestZipArchive::namesOfArchivesMadeElsewhere()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, utf8Flag);
    QFETCH(QString, name);
    const QByteArray zip = handZip({{raw, "x", utf8Flag}});
    ZipReader reader(zip);
    QVERIFY(reader.isOpen());
    QCOMPARE(reader.entryNames(), QStringList{name});
    QCOMPARE(reader.read(name), std::optional<QByteArray>("x"));

    QTemporaryDir dir;
    const safeextract::Result r = safeextract::extractArchive(zip, dir.filePath("out"), "test.zip");
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(readFile(dir.filePath("out/" + name)), QByteArray("x"));
}

// Every bit flip in the deflated script file of a small project: the project opens exactly
// when unzip -t finds the archive sound, and a damaged one leaves an empty project.
void TestZipArchive::bitFlipsAreJudgedLikeUnzip()
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        QSKIP("unzip is not installed");
    QTemporaryDir dir;
    MessageCatalog cat;
    auto sample = sampleProject(cat);
    QVERIFY(saveProject(*sample, dir.path(), QStringLiteral("sample")).ok);
    const QByteArray original = readFile(dir.filePath("sample.adv"));
    for (const QByteArray entry : {QByteArray("sample.003"), QByteArray("sample.004")}) {
        const EntryHeaders h = findEntryHeaders(original, entry);
        QVERIFY(h.dataAt > 0 && h.compressedSize > 16);
        int refused = 0;
        for (qsizetype at = h.dataAt; at < h.dataAt + h.compressedSize; ++at) {
            QByteArray damaged = original;
            damaged[at] = char(damaged[at] ^ (1 << (at % 8)));
            const QString path = dir.filePath(QStringLiteral("flip.adv"));
            QVERIFY(writeFile(path, damaged));
            QProcess test;
            test.start(unzip, {QStringLiteral("-tqq"), path});
            QVERIFY(test.waitForFinished(10000));
            const bool sound = test.exitStatus() == QProcess::NormalExit && test.exitCode() == 0;

            ProjectModel m;
            const ProjectFileResult r = openProject(m, cat, path);
            const QString where = QStringLiteral("%1 byte %2").arg(QString::fromLatin1(entry)).arg(at);
            QVERIFY2(r.ok == sound, qPrintable(where + QStringLiteral(": ") + r.message));
            if (!r.ok) {
                ++refused;
                QVERIFY2(r.message.startsWith(path + u' ' + cat.msg(151)), qPrintable(r.message));
                QCOMPARE(m.cutscenes.usedCount() + m.rooms.usedCount() + m.media[Images].usedCount(), 0);
            }
        }
        QVERIFY(refused > h.compressedSize / 2);
    }
}

void TestZipArchive::declaredSizeBombIsRefusedBeforeAnything()
{
    // A few bytes that claim 2 GiB: nothing may be allocated or written for them.
    const QByteArray zip = handZip({{"small.txt", "fine"}, {"zeros.bin", QByteArray(16, '\0'), false, qint64(1) << 31}});
    ZipReader reader(zip);
    QCOMPARE(reader.declaredSize(1), qint64(1) << 31);
    QVERIFY(!reader.read(QStringLiteral("zeros.bin")));
    QCOMPARE(reader.error(), ZipReader::Error::TooLarge);
    QVERIFY(reader.errorString().contains(QStringLiteral("zeros.bin")));
    QCOMPARE(reader.read(QStringLiteral("small.txt")), std::optional<QByteArray>("fine"));

    QTemporaryDir dir;
    const safeextract::Result r = safeextract::extractArchive(zip, dir.filePath("target"), QStringLiteral("bomb.adz"));
    QVERIFY(!r.ok);
    QVERIFY(r.damaged);
    QVERIFY2(r.message.startsWith(QStringLiteral("bomb.adz: ")) && r.message.contains(QStringLiteral("zeros.bin")),
             qPrintable(r.message));
    QCOMPARE(listing(dir.path()), QStringList());
    QVERIFY(!safeextract::checkArchive(zip, QStringLiteral("bomb.adz")).ok);
}

void TestZipArchive::dataPastTheDeclaredSizeIsDamage()
{
    // The deflate stream unpacks to 200 KB while the headers say 1000 bytes (CRC of the whole).
    QByteArray zip = deflated(QStringLiteral("big.txt"), QByteArray(200000, 'a'));
    QVERIFY(setDeclaredSize(zip, "big.txt", 1000));
    ZipReader reader(zip);
    QVERIFY(!reader.read(QStringLiteral("big.txt")));
    QCOMPARE(reader.error(), ZipReader::Error::Damaged);
    QVERIFY2(reader.errorString().contains(QStringLiteral("damaged")), qPrintable(reader.errorString()));

    // And the other way round: fewer bytes than declared.
    QByteArray shorter = deflated(QStringLiteral("big.txt"), QByteArray(1000, 'a'));
    QVERIFY(setDeclaredSize(shorter, "big.txt", 5000));
    QVERIFY(!ZipReader(shorter).read(QStringLiteral("big.txt")));

    QTemporaryDir dir;
    const safeextract::Result r = safeextract::extractArchive(zip, dir.filePath("target"), QStringLiteral("x.zip"));
    QVERIFY(!r.ok);
    QVERIFY(r.damaged);
    QCOMPARE(listing(dir.path()), QStringList()); // the partly written file and the folder are gone
}

void TestZipArchive::hostileArchivesLeaveNothing_data()
{
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::newRow("climbs out") << QList<QByteArray>{"ok.txt", "../evil.txt"};
    QTest::newRow("climbs out after a folder") << QList<QByteArray>{"ok.txt", "a/../../evil.txt"};
    QTest::newRow("backslashes") << QList<QByteArray>{"ok.txt", "a\\..\\..\\evil.txt"};
    QTest::newRow("absolute") << QList<QByteArray>{"ok.txt", "/tmp/evil.txt"};
    QTest::newRow("drive") << QList<QByteArray>{"ok.txt", "C:evil.txt"};
    QTest::newRow("empty name") << QList<QByteArray>{"ok.txt", ""};
    QTest::newRow("only dots") << QList<QByteArray>{"ok.txt", "./."};
    QTest::newRow("same file twice") << QList<QByteArray>{"ok.txt", "a.txt", "./a.txt"};
    QTest::newRow("file where a folder is needed") << QList<QByteArray>{"ok.txt", "a", "a/b.txt"};
    QTest::newRow("folder where a file is") << QList<QByteArray>{"ok.txt", "a/b.txt", "a"};
}

void TestZipArchive::hostileArchivesLeaveNothing()
{
    QFETCH(QList<QByteArray>, names);
    QList<HandEntry> entries;
    for (const QByteArray &n : names)
        entries.append({n, "payload"});
    const QByteArray zip = handZip(entries);
    QTemporaryDir dir;
    const QString target = dir.filePath("inside/target");
    QVERIFY(QDir().mkpath(target));
    const safeextract::Result r = safeextract::extractArchive(zip, target, QStringLiteral("hostile.zip"));
    QVERIFY(!r.ok);
    QVERIFY(r.damaged);
    QVERIFY2(r.message.startsWith(QStringLiteral("hostile.zip: ")), qPrintable(r.message));
    QCOMPARE(listing(dir.path()), QStringList({"inside", "inside/target"}));
}

void TestZipArchive::linkInsideTheTargetIsRefusedBeforeAnythingIsMade()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target"), outside = dir.filePath("outside");
    QVERIFY(QDir().mkpath(target) && QDir().mkpath(outside));
    QVERIFY(QFile::link(outside, QDir(target).filePath("inner")));
    const QByteArray zip = handZip({{"fresh/first.txt", "1"}, {"inner/sub/second.txt", "2"}});
    const safeextract::Result r = safeextract::extractArchive(zip, target, QStringLiteral("linked.zip"));
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("link")), qPrintable(r.message));
    QCOMPARE(listing(outside), QStringList());
    QCOMPARE(listing(target), QStringList{"inner"});
}

void TestZipArchive::existingFilesAreNeverReplaced()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target");
    QVERIFY(QDir().mkpath(target));
    QVERIFY(writeFile(QDir(target).filePath("b.txt"), "mine"));
    const QByteArray zip = handZip({{"a.txt", "new a"}, {"b.txt", "new b"}});
    const safeextract::Result r = safeextract::extractArchive(zip, target, QStringLiteral("over.zip"));
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("b.txt")), qPrintable(r.message));
    QCOMPARE(listing(target), QStringList{"b.txt"});
    QCOMPARE(readFile(QDir(target).filePath("b.txt")), QByteArray("mine"));
}

void TestZipArchive::archivesLargerThanTheFreeSpaceAreRefused()
{
    QTemporaryDir dir;
    const QStorageInfo storage(dir.path());
    const qint64 entries = storage.bytesAvailable() / ZipReader::MaxEntrySize + 2;
    if (!storage.isValid() || entries > 20000)
        QSKIP("the file system is too large for a crafted archive to exceed its free space");
    // Each entry is within the limit; together they are more than the disk holds.
    QList<HandEntry> list;
    for (qint64 i = 0; i < entries; ++i)
        list.append({QByteArray("part") + QByteArray::number(i), "x", false, ZipReader::MaxEntrySize});
    const safeextract::Result r =
        safeextract::extractArchive(handZip(list), dir.filePath("target"), QStringLiteral("huge.zip"));
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("free")), qPrintable(r.message));
    QCOMPARE(listing(dir.path()), QStringList());
}

namespace {

// Lines of 0 to 96 characters, CR LF, about `bytes` long.
QByteArray textLines(qsizetype bytes)
{
    QByteArray text;
    for (int i = 0; text.size() < bytes; ++i)
        text += QByteArray(i % 97, char('a' + i % 26)) + "\r\n";
    return text;
}

} // namespace

void TestZipArchive::entryStreamHandsOnWholeLines_data()
{
    QTest::addColumn<QByteArray>("data");
    const qsizetype piece = ZipEntryStream::PieceSize;
    QTest::newRow("short lines over many pieces") << textLines(5 * piece);
    QTest::newRow("a line longer than a piece") << textLines(piece / 2) + QByteArray(2 * piece, 'w') + "\r\n" + textLines(piece);
    QTest::newRow("no line end at the end") << textLines(2 * piece) + "last";
    QTest::newRow("empty") << QByteArray();
}

// The pieces put together are the entry, and no line is cut between two pieces.
void TestZipArchive::entryStreamHandsOnWholeLines()
{
    QFETCH(QByteArray, data);
    ZipEntryStream stream(deflated(QStringLiteral("lines.txt"), data), QStringLiteral("lines.txt"));
    QByteArray joined, piece;
    int pieces = 0;
    while (stream.next(&piece)) {
        QVERIFY2(!piece.isEmpty(), "an empty piece was handed on");
        if (!joined.isEmpty())
            QVERIFY2(joined.endsWith('\n'), qPrintable(QStringLiteral("piece %1 starts inside a line").arg(pieces)));
        joined += piece;
        ++pieces;
    }
    QVERIFY(stream.finish());
    QCOMPARE(stream.error(), ZipReader::Error::None);
    QCOMPARE(joined.size(), data.size());
    QVERIFY(joined == data);
    if (data.size() > 2 * ZipEntryStream::PieceSize)
        QVERIFY(pieces > 1);
}

void TestZipArchive::entryStreamTellsDamageAtTheEnd_data()
{
    QTest::addColumn<QByteArray>("zip");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("anyPiece"); // whether data is handed on before the damage shows
    const QByteArray text = textLines(3 * ZipEntryStream::PieceSize);
    // A stored entry whose last line no longer has the bytes its CRC was taken of.
    QByteArray crc = handZip({{"lines.txt", text}});
    const EntryHeaders h = findEntryHeaders(crc, "lines.txt");
    crc[h.dataAt + text.size() - 3] = 'X';
    QTest::newRow("CRC") << crc << int(ZipReader::Error::Damaged) << true;
    QByteArray past = deflated(QStringLiteral("lines.txt"), text);
    QVERIFY(setDeclaredSize(past, "lines.txt", quint32(text.size() / 2)));
    QTest::newRow("more data than declared") << past << int(ZipReader::Error::Damaged) << true;
    QTest::newRow("declared over the limit")
        << handZip({{"lines.txt", "x\r\n", false, ZipReader::MaxEntrySize + 1}}) << int(ZipReader::Error::TooLarge) << false;
    QTest::newRow("no such entry") << handZip({{"other.txt", "x\r\n"}}) << int(ZipReader::Error::NoEntry) << false;
    QTest::newRow("no archive") << QByteArray("PK\x03\x04 no zip") << int(ZipReader::Error::NotArchive) << false;
}

void TestZipArchive::entryStreamTellsDamageAtTheEnd()
{
    QFETCH(QByteArray, zip);
    QFETCH(int, error);
    QFETCH(bool, anyPiece);
    ZipEntryStream stream(zip, QStringLiteral("lines.txt"));
    QByteArray piece;
    int pieces = 0;
    while (stream.next(&piece))
        ++pieces;
    QCOMPARE(pieces > 0, anyPiece);
    QVERIFY(!stream.finish());
    QCOMPARE(int(stream.error()), error);
    QVERIFY(!stream.errorString().isEmpty());
}

void TestZipArchive::entryStreamReaderMayStopEarly()
{
    const QByteArray text = textLines(20 * ZipEntryStream::PieceSize);
    const QByteArray zip = deflated(QStringLiteral("lines.txt"), text);
    QByteArray piece;
    {
        // Done after one piece: the rest is unpacked for the checks only.
        ZipEntryStream stream(zip, QStringLiteral("lines.txt"));
        QVERIFY(stream.next(&piece));
        QVERIFY(stream.finish());
        QVERIFY(!stream.next(&piece));
    }
    QByteArray damaged = handZip({{"lines.txt", text}});
    damaged[findEntryHeaders(damaged, "lines.txt").dataAt + text.size() - 3] = 'X';
    {
        ZipEntryStream stream(damaged, QStringLiteral("lines.txt"));
        QVERIFY(stream.next(&piece));
        QVERIFY(!stream.finish());
        QCOMPARE(stream.error(), ZipReader::Error::Damaged);
    }
    // Gone without finish() while the unpacking waits for the reader: the thread ends.
    ZipEntryStream left(zip, QStringLiteral("lines.txt"));
    QVERIFY(left.next(&piece));
}

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
