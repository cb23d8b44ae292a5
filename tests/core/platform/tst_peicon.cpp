// The game icon patch: icons of any size, the other resources kept, programs it cannot patch.
#include "platform/peicon.h"
#include "support/tinype.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using namespace mb::testing;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint16 get16(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

struct Leaf
{
    quint32 type, id, language;
    QByteArray data;
    bool operator==(const Leaf &o) const = default;
};

// An independent walk of the resource tree over the section table: every leaf of the three
// levels (numbered entries only, as the tiny programs have).
QList<Leaf> leaves(const QByteArray &pe)
{
    const int optionalSize = get16(pe, 0x54);
    const bool plus = get16(pe, kOptional) == 0x20B;
    const int dirs = kOptional + (plus ? 112 : 96);
    const quint32 rsrc = get32(pe, dirs + 16);
    const int sections = get16(pe, 0x46);
    auto fileOf = [&](quint32 rva) -> int {
        for (int s = 0; s < sections; ++s) {
            const int h = kOptional + optionalSize + 40 * s;
            const quint32 va = get32(pe, h + 12), raw = get32(pe, h + 16), at = get32(pe, h + 20);
            if (rva >= va && rva < va + raw)
                return int(at + (rva - va));
        }
        return -1;
    };
    QList<Leaf> out;
    auto entries = [&](quint32 offset, auto &&visit) {
        const int at = fileOf(rsrc + offset);
        const int count = get16(pe, at + 12) + get16(pe, at + 14);
        for (int i = 0; i < count; ++i)
            visit(get32(pe, at + 16 + 8 * i), get32(pe, at + 20 + 8 * i));
    };
    entries(0, [&](quint32 type, quint32 typeDir) {
        entries(typeDir & 0x7FFFFFFF, [&](quint32 id, quint32 idDir) {
            entries(idDir & 0x7FFFFFFF, [&](quint32 language, quint32 entry) {
                const int e = fileOf(rsrc + entry);
                const quint32 rva = get32(pe, e), size = get32(pe, e + 4);
                out.append({type, id, language, pe.mid(fileOf(rva), int(size))});
            });
        });
    });
    return out;
}

QByteArray image(int size)
{
    QByteArray b(size, 'n');
    for (int i = 0; i < size; ++i)
        b[i] = char('a' + i % 26);
    return b;
}

// A second section after the resources, in memory and in the file, so the resources cannot grow.
QByteArray withSectionAfterResources(const QByteArray &tiny)
{
    QByteArray b = tiny;
    const int table = kOptional + get16(b, 0x54);
    const int section = table + 40;
    const quint32 rawAt = quint32(b.size());
    b += QByteArray(0x200, 'R');
    b.replace(section, 6, ".reloc");
    put32(b, section + 8, 0x200);
    put32(b, section + 12, 0x2000);
    put32(b, section + 16, 0x200);
    put32(b, section + 20, rawAt);
    put32(b, section + 36, 0x42000040);
    put16(b, 0x46, 2);
    put32(b, kOptional + 56, 0x3000);
    return b;
}

} // namespace

class TestPeIcon : public QObject
{
    Q_OBJECT
private slots:
    void anySizeFits_data();
    void anySizeFits();
    void otherResourcesAreKept();
    void blockedResourcesMoveToANewSection_data();
    void blockedResourcesMoveToANewSection();
    void malformedProgramsAreRefused_data();
    void malformedProgramsAreRefused();
    void iconOverlappingTheDirectoryReadsBack();
    void fileLevelErrorsNameTheFile();
    void firstIconImage();
};

void TestPeIcon::anySizeFits_data()
{
    QTest::addColumn<bool>("pe32plus");
    QTest::addColumn<int>("oldSize");
    QTest::addColumn<int>("newSize");
    QTest::newRow("smaller") << false << 300 << 120;
    QTest::newRow("same size") << false << 300 << 300;
    QTest::newRow("4 KB into a small program") << false << 100 << 4096;
    QTest::newRow("PE32+ smaller") << true << 300 << 10;
    QTest::newRow("PE32+ larger") << true << 100 << 70000;
}

void TestPeIcon::anySizeFits()
{
    QFETCH(bool, pe32plus);
    QFETCH(int, oldSize);
    QFETCH(int, newSize);
    const QByteArray newIcon = image(newSize);
    const QByteArray before = tinyPe(QByteArray(oldSize, 'o'), pe32plus);
    QByteArray pe = before;
    QString error;
    QVERIFY2(PeIcon::replaceIconResource(pe, newIcon, &error), qPrintable(error));
    QCOMPARE(PeIcon::iconResource(pe), std::optional<QByteArray>(newIcon));
    // The program's own language keeps icon 1 and gets the new image too; 1031 is added.
    QCOMPARE(leaves(pe), QList<Leaf>({{3, 1, 1031, newIcon}, {3, 1, 1033, newIcon}}));
    // Headers before the resource section are as they were, except sizes the section changes.
    QCOMPARE(pe.left(0x3C), before.left(0x3C));
    QVERIFY(get32(pe, kOptional + 56) % 0x1000 == 0);
    QVERIFY(get32(pe, kOptional + 56) >= kRsrcRva + quint32(newSize));
}

void TestPeIcon::otherResourcesAreKept()
{
    // A program whose only resource is a group icon (type 14): icon 1 is added beside it.
    const QByteArray group("group icon directory");
    QByteArray pe = tinyPe(group, false, 14);
    const QByteArray newIcon = image(2000);
    QString error;
    QVERIFY2(PeIcon::replaceIconResource(pe, newIcon, &error), qPrintable(error));
    QCOMPARE(leaves(pe), QList<Leaf>({{3, 1, 1031, newIcon}, {14, 1, 1033, group}}));
}

void TestPeIcon::blockedResourcesMoveToANewSection_data()
{
    QTest::addColumn<QByteArray>("program");
    const QByteArray tiny = tinyPe(QByteArray(100, 'o'));
    QTest::newRow("a section after the resources") << withSectionAfterResources(tiny);
    QTest::newRow("bytes after the last section") << tiny + QByteArray("appended data");
}

void TestPeIcon::blockedResourcesMoveToANewSection()
{
    QFETCH(QByteArray, program);
    const QByteArray newIcon = image(5000);
    QByteArray pe = program;
    QString error;
    QVERIFY2(PeIcon::replaceIconResource(pe, newIcon, &error), qPrintable(error));
    QCOMPARE(PeIcon::iconResource(pe), std::optional<QByteArray>(newIcon));
    // Nothing of the old file moved: it is all still there, byte for byte, except the headers.
    QCOMPARE(pe.mid(kRsrcFile, program.size() - kRsrcFile), program.mid(kRsrcFile));
    const int sections = get16(program, 0x46);
    QCOMPARE(int(get16(pe, 0x46)), sections + 1);
    const int added = kOptional + get16(pe, 0x54) + 40 * sections;
    QCOMPARE(pe.mid(added, 5), QByteArray(".rsrc"));
    const quint32 va = get32(pe, added + 12), virtualSize = get32(pe, added + 8);
    QVERIFY(va >= get32(program, kOptional + 56));
    QCOMPARE(get32(pe, kOptional + 56), (va + virtualSize + 0xFFF) / 0x1000 * 0x1000);
    QCOMPARE(get32(pe, added + 20) % 0x200, 0u);
}

void TestPeIcon::malformedProgramsAreRefused_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QString>("expected");
    const QByteArray good = tinyPe(QByteArray(50, 'o'));
    QTest::newRow("empty") << QByteArray() << "not a Windows program";
    QTest::newRow("not MZ") << QByteArray("ZM") + good.mid(2) << "not a Windows program";
    QTest::newRow("cut inside the headers") << good.left(0x120) << "";
    QTest::newRow("cut inside the resources") << good.left(kRsrcFile + 0x50) << "resources";
    QByteArray badEntry = good;
    put32(badEntry, kDataEntry + 4, 0x7FFFFFF0);
    QTest::newRow("data size past the end") << badEntry << "resources";
    QByteArray loop = good;
    put32(loop, kRsrcFile + 0x30 + 20, 0x80000000u); // the language entry points at the root
    QTest::newRow("directory loop") << loop << "deeper";
    // The headers end with the section table: a larger icon has nowhere to go.
    QByteArray noRoom = withSectionAfterResources(good);
    put32(noRoom, kOptional + 60, quint32(kOptional + get16(noRoom, 0x54) + 80));
    QTest::newRow("no room for a new section") << noRoom << "no room";
}

void TestPeIcon::malformedProgramsAreRefused()
{
    QFETCH(QByteArray, program);
    QFETCH(QString, expected);
    QByteArray pe = program;
    QString error;
    QVERIFY(!PeIcon::replaceIconResource(pe, image(400), &error));
    QCOMPARE(pe, program);
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(expected), qPrintable(error));
}

// The data entry of the icon points into the resource directory itself. Writing the new icon
// over it in place would destroy the directory; the rebuilt section keeps both apart.
void TestPeIcon::iconOverlappingTheDirectoryReadsBack()
{
    QByteArray pe = tinyPe(QByteArray(100, 'o'));
    put32(pe, kDataEntry, kRsrcRva + 0x10);
    put32(pe, kDataEntry + 4, 0x60);
    const QByteArray newIcon = image(0x40);
    QString error;
    const bool patched = PeIcon::replaceIconResource(pe, newIcon, &error);
    QVERIFY2(patched, qPrintable(error));
    QCOMPARE(PeIcon::iconResource(pe), std::optional<QByteArray>(newIcon));
    QCOMPARE(leaves(pe).size(), 2);
}

void TestPeIcon::fileLevelErrorsNameTheFile()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("game.exe")), icon = dir.filePath(QStringLiteral("game.ico"));
    const QString notIcon = dir.filePath(QStringLiteral("picture.ico"));
    const QByteArray tiny = tinyPe(QByteArray(64, 'o'));
    QVERIFY(writeBytes(program, tiny));
    QVERIFY(writeBytes(icon, iconFile({image(3000), QByteArray(8, 's')})));
    QVERIFY(writeBytes(notIcon, "\x89PNG not an icon"));
    QString error;
    QVERIFY(!PeIcon::replaceProgramIcon(program, notIcon, &error));
    QVERIFY2(error.startsWith(notIcon) && error.contains(QStringLiteral("not an icon file")), qPrintable(error));

    const QString text = dir.filePath(QStringLiteral("readme.exe"));
    QVERIFY(writeBytes(text, "This is not a program at all."));
    QVERIFY(!PeIcon::replaceProgramIcon(text, icon, &error));
    QVERIFY2(error.startsWith(text) && error.contains(QStringLiteral("not a Windows program")), qPrintable(error));
    QCOMPARE(readBytes(text), QByteArray("This is not a program at all."));

    QVERIFY2(PeIcon::replaceProgramIcon(program, icon, &error), qPrintable(error));
    QCOMPARE(PeIcon::iconResource(readBytes(program)), std::optional<QByteArray>(image(3000)));
}

void TestPeIcon::firstIconImage()
{
    QCOMPARE(PeIcon::firstIconImage(iconFile({QByteArray("first"), QByteArray("second")})), std::optional<QByteArray>("first"));
    QByteArray bad = iconFile({QByteArray("first")});
    put32(bad, 6 + 8, 1000); // size past the end
    QVERIFY(!PeIcon::firstIconImage(bad));
    QByteArray cursor = iconFile({QByteArray("first")});
    put16(cursor, 2, 2); // a cursor file, not an icon
    QVERIFY(!PeIcon::firstIconImage(cursor));
    QVERIFY(!PeIcon::firstIconImage(QByteArray(5, '\0')));
}

QTEST_GUILESS_MAIN(TestPeIcon)
#include "tst_peicon.moc"
