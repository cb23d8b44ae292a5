#include "assets/cursoredit.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

namespace mb::cursoredit {

QStringList commandEntries(const CommandList &commands, const MessageCatalog &catalog)
{
    QStringList entries{catalog.msg(259), catalog.msg(260)};
    for (const CommandRow &row : commands.rows)
        if (!row.name.isEmpty())
            entries << row.name;
    return entries;
}

bool commandEditable(int cursor)
{
    return cursor > 1 && cursor < Rmouse::Cursors;
}

int shownCommand(int stored, int entryCount)
{
    return stored >= 1 && stored <= entryCount ? stored : 1;
}

bool setCommand(Rmouse &mouse, int cursor, int entry)
{
    if (cursor < 1 || cursor > Rmouse::Cursors || entry < 1 || entry > 255)
        return false;
    uint8_t &stored = mouse.command[size_t(cursor - 1)];
    if (stored == entry)
        return false;
    stored = uint8_t(entry);
    return true;
}

QPoint clickMarkerPosition(QPoint clickPoint)
{
    return {3 * clickPoint.x() - 8, 3 * clickPoint.y() - 8};
}

namespace {

// The marker's travel: from -11 (point 0) to 89 (point 32).
int markerAxis(int v)
{
    if (v < -10 || v > 89)
        v = v <= 0 ? -11 : 89;
    // Down to the multiple of 3 below, so that the marker of every point (3x - 8) gives x back.
    return v - ((v % 3) + 3) % 3;
}

} // namespace

ClickMarker dragClickMarker(QPoint marker)
{
    const QPoint m(markerAxis(marker.x()), markerAxis(marker.y()));
    return {m, QPoint((m.x() + 11) / 3, (m.y() + 11) / 3)};
}

bool setClickPoint(Rmouse &mouse, int cursor, QPoint clickPoint)
{
    if (cursor < 1 || cursor > Rmouse::Cursors)
        return false;
    const size_t c = size_t(cursor - 1);
    if (mouse.clickX[c] == clickPoint.x() && mouse.clickY[c] == clickPoint.y())
        return false;
    mouse.clickX[c] = clickPoint.x();
    mouse.clickY[c] = clickPoint.y();
    return true;
}

QString clickPointHint(QPoint clickPoint, const MessageCatalog &catalog)
{
    return catalog.msg(261) + u' ' + QString::number(clickPoint.x()) + QStringLiteral(" / ")
        + QString::number(clickPoint.y());
}

} // namespace mb::cursoredit
