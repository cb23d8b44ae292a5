#pragma once
// Whole files as bytes, for tests that write fixtures and look at what was written.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTest>

namespace mb::testing {

// The file's bytes; empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the bytes, creating the folders on the way; fails the test when it cannot.
inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path + ": " + f.errorString()));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Every path below the folder (hidden ones too), relative to it and sorted.
inline QStringList listing(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

} // namespace mb::testing
