#include "build/gamestarter.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace mb {

bool GameStarter::isWindowsProgram(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray dos = f.read(0x40);
    if (dos.size() < 0x40 || !dos.startsWith("MZ"))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(dos.constData()) + 0x3C;
    const quint32 peAt = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    if (qint64(peAt) + 4 > f.size() || !f.seek(peAt))
        return false;
    return f.read(4) == QByteArray("PE\0\0", 4);
}

QString GameStarter::findWine(const QString &wine)
{
    const QString winePath = wine.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("wine")) : wine;
    return !winePath.isEmpty() && QFileInfo(winePath).isExecutable() ? winePath : QString();
}

GameStarter::Result GameStarter::start(const QString &programFile, const QString &folder, const QString &wine)
{
    if (!QFileInfo(programFile).isFile())
        return {false, programFile + QStringLiteral(": the game's program file does not exist, so the game cannot be started.")};
    if (!isWindowsProgram(programFile))
        return {false, programFile + QStringLiteral(": this is not a Windows program, so the game cannot be started.")};
    const QString winePath = findWine(wine);
    if (winePath.isEmpty())
        return {false, QStringLiteral("The game is a Windows program and wine is not installed, so it cannot be started here.")};
    QProcess process;
    process.setProgram(winePath);
    process.setArguments({QFileInfo(programFile).absoluteFilePath(), QStringLiteral("-devmode")});
    process.setWorkingDirectory(folder);
    if (!process.startDetached())
        return {false, winePath + QStringLiteral(": ") + process.errorString()};
    return {true, {}};
}

} // namespace mb
