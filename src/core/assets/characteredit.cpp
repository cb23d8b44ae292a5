#include "assets/characteredit.h"

#include "assets/framestrip.h"
#include "assets/sizerules.h"
#include "project/messagecatalog.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mb::characteredit {

namespace {

bool valid(int action) { return action >= 1 && action <= Actions; }

using Row = std::array<Rframe, Rcharacter::Frames>;

bool isEmptyRow(const Row &row)
{
    return std::all_of(row.begin(), row.end(), [](const Rframe &f) { return f == Rframe(); });
}

// Replaces an action's frames; an action that becomes all empty frames gives up its storage.
bool setRow(Rcharacter &chr, int action, const Row &row)
{
    const size_t s = size_t(action - 1);
    if (std::as_const(chr.frames)[s] == row)
        return false;
    Row copy = row;
    chr.frames.setRow(s, std::move(copy), isEmptyRow(row));
    return true;
}

template <typename T, typename V>
bool assign(T &field, V value)
{
    if (field == T(value))
        return false;
    field = T(value);
    return true;
}

} // namespace

QStringList actionNames(const Rcharacter &chr, const MessageCatalog &catalog)
{
    QStringList names;
    for (int n = 349; n <= 364; ++n)
        names << catalog.msg(n);
    for (const QString &extra : chr.extraNames)
        names << extra;
    return names;
}

bool canRename(int action)
{
    return action > FixedActions && action <= Actions;
}

bool renameAction(Rcharacter &chr, int action, const QString &name)
{
    if (!canRename(action))
        return false;
    return assign(chr.extraNames[size_t(action - FixedActions - 1)], name);
}

bool setActionSize(Rcharacter &chr, int action, QSize requested)
{
    if (!valid(action))
        return false;
    const QSize size = sizerules::characterSize(requested);
    const size_t s = size_t(action - 1);
    const bool w = assign(chr.width[s], size.width());
    const bool h = assign(chr.height[s], size.height());
    return w || h;
}

bool setActionSize(Rcharacter &chr, int action, const QString &widthText, const QString &heightText)
{
    return setActionSize(chr, action,
                         QSize(sizerules::fieldValue(widthText, sizerules::CharacterMaximum),
                               sizerules::fieldValue(heightText, sizerules::CharacterMaximum)));
}

bool setSpeed(Rcharacter &chr, int action, int speed)
{
    return valid(action) && assign(chr.speed[size_t(action - 1)], std::clamp(speed, 0, 255));
}

int zoomValue(const QString &text)
{
    return sizerules::fieldValue(text, sizerules::ZoomMaximum);
}

QSize resetSize(QSize game)
{
    return {int(std::lround(game.width() * 0.1875)), int(std::lround(game.height() * 0.4166))};
}

QPoint resetFootPoint(QSize game)
{
    const QSize size = resetSize(game);
    return {size.width() / 2, size.height() - 1};
}

bool resetAction(Rcharacter &chr, int action, QSize game)
{
    if (!valid(action))
        return false;
    const size_t s = size_t(action - 1);
    Row row = std::as_const(chr.frames)[s];
    for (Rframe &f : row) {
        f.image.clear();
        f.image2.clear();
        f.script.clear();
    }
    bool changed = setRow(chr, action, row);
    changed |= assign(chr.speed[s], framestrip::DefaultSpeed);
    const QSize size = resetSize(game);
    const QPoint foot = resetFootPoint(game);
    changed |= assign(chr.width[s], size.width());
    changed |= assign(chr.height[s], size.height());
    changed |= assign(chr.footX[s], foot.x());
    changed |= assign(chr.footY[s], foot.y());
    return changed;
}

ActionClipboard copyAction(const Rcharacter &chr, int action)
{
    ActionClipboard c;
    if (!valid(action))
        return c;
    const size_t s = size_t(action - 1);
    c.filled = true;
    c.frames = chr.frames[s];
    c.width = chr.width[s];
    c.height = chr.height[s];
    c.footX = chr.footX[s];
    c.footY = chr.footY[s];
    c.speed = chr.speed[s];
    return c;
}

bool pasteAction(Rcharacter &chr, int action, const ActionClipboard &clipboard)
{
    if (!valid(action) || !clipboard.filled)
        return false;
    const size_t s = size_t(action - 1);
    bool changed = setRow(chr, action, clipboard.frames);
    changed |= assign(chr.width[s], clipboard.width);
    changed |= assign(chr.height[s], clipboard.height);
    changed |= assign(chr.footX[s], clipboard.footX);
    changed |= assign(chr.footY[s], clipboard.footY);
    changed |= assign(chr.speed[s], clipboard.speed);
    return changed;
}

bool equalizeSizes(Rcharacter &chr, int action)
{
    if (!valid(action))
        return false;
    const size_t from = size_t(action - 1);
    bool changed = false;
    for (size_t s = 0; s < size_t(Actions); ++s) {
        changed |= assign(chr.width[s], chr.width[from]);
        changed |= assign(chr.height[s], chr.height[from]);
        changed |= assign(chr.footX[s], chr.footX[from]);
        changed |= assign(chr.footY[s], chr.footY[from]);
    }
    return changed;
}

bool equalizeActions(Rcharacter &chr, int action)
{
    const ActionClipboard c = copyAction(chr, action);
    bool changed = false;
    for (int a = 1; a <= Actions; ++a)
        changed |= pasteAction(chr, a, c);
    return changed;
}

QStringList fontChoices(const ProjectModel &model)
{
    QStringList choices{QStringLiteral("Default")};
    for (int i = 1; i <= model.fontCount(); ++i)
        choices << model.fonts[i].name;
    return choices;
}

int shownFontIndex(int stored, int fontCount)
{
    return stored >= 0 && stored <= fontCount ? stored : 0;
}

int shownWalkSpeedEntry(int stored)
{
    return stored >= 1 && stored <= 9 ? stored - 1 : 4;
}

QPoint footMarkerPosition(QPoint footPoint)
{
    return footPoint - QPoint(11, 11);
}

namespace {

int footAxis(int v, int size)
{
    if (v < -10 || v > size - 11)
        return v <= 0 ? -11 : size - 11;
    return v;
}

} // namespace

FootMarker dragFootMarker(QPoint marker, QSize actionSize)
{
    const QPoint m(footAxis(marker.x(), actionSize.width()), footAxis(marker.y(), actionSize.height()));
    return {m, m + QPoint(11, 11)};
}

bool setFootPoint(Rcharacter &chr, int action, QPoint footPoint)
{
    if (!valid(action))
        return false;
    const size_t s = size_t(action - 1);
    const bool x = assign(chr.footX[s], footPoint.x());
    const bool y = assign(chr.footY[s], footPoint.y());
    return x || y;
}

QString footPointHint(QPoint footPoint, const MessageCatalog &catalog)
{
    return catalog.msg(337) + u' ' + QString::number(footPoint.x()) + QStringLiteral(" / ")
        + QString::number(footPoint.y());
}

QPoint keepAlignmentMarker(QPoint marker, QSize actionSize)
{
    return {std::min(marker.x(), actionSize.width() - 10), std::min(marker.y(), actionSize.height() - 10)};
}

} // namespace mb::characteredit
