#include "tools/settingsvalidation.h"

#include "project/projectmodel.h"

namespace mb {

namespace {

QString keepIf(const QString &text, bool minus)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (minus && c == QLatin1Char('-')))
            out.append(c);
    return out;
}

bool containsAny(const QString &text, QLatin1StringView chars)
{
    for (QChar c : text)
        if (chars.contains(c))
            return true;
    return false;
}

int snap(int v, int low, int high)
{
    // The marker may rest one pixel beyond the free range on either side, never further.
    if (v < low)
        return low - 1;
    if (v > high)
        return high + 1;
    return v;
}

} // namespace

QString keepDigits(const QString &text) { return keepIf(text, false); }
QString keepDigitsAndMinus(const QString &text) { return keepIf(text, true); }

QString normaliseTaskHeight(const QString &text, int gameHeight)
{
    const QString digits = keepDigits(text);
    // Digits only, but a pasted run of them may still overflow an int: treat that as too high.
    bool ok = false;
    qint64 v = digits.isEmpty() ? gameHeight / 3 : digits.toLongLong(&ok);
    if (!digits.isEmpty() && !ok)
        v = gameHeight;
    if (v < 50)
        v = 50;
    if (v > gameHeight / 2)
        v = gameHeight / 2;
    const qint64 rest = v % 10;
    if (rest != 0) {
        qint64 down = v - rest;
        if (rest > 5 || (rest == 5 && (down / 10) % 2 == 1))
            down += 10;
        v = down;
    }
    return QString::number(v);
}

QString normaliseActionTextHeight(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("0") : text;
}

int validateSetup(const QString &projectName, const QString &startScript, const QString &taskRoom,
                  const QString &ownMenuRoom)
{
    if (containsAny(projectName, QLatin1StringView("{}();\"\\/:*?<|>")))
        return 269;
    if (projectName.isEmpty())
        return 270;
    const QLatin1StringView scriptChars("(){};\",");
    if (containsAny(startScript, scriptChars))
        return 271;
    if (containsAny(taskRoom, scriptChars))
        return 272;
    if (containsAny(ownMenuRoom, scriptChars))
        return 273;
    return 0;
}

int validateSetup(const GameSettings &s)
{
    return validateSetup(s.projectName, s.startScript, s.taskRoom, s.ownMenuRoom);
}

int fadeLabelMessage(int position)
{
    if (position <= 0)
        return 241;
    if (position >= 1450)
        return 433;
    if (position >= 1000)
        return 432;
    if (position >= 650)
        return 431;
    if (position >= 300)
        return 430;
    return 429;
}

int clampCoinTop(int top) { return snap(top, -10, 138); }
int clampCoinLeft(int left) { return snap(left, -10, 188); }

} // namespace mb
