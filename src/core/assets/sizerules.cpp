#include "assets/sizerules.h"

namespace mb::sizerules {

int fieldValue(const QString &text, int maximum)
{
    const QString t = text.trimmed();
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return fieldValue(0, maximum);
    // Digits only, so a failed conversion is an overflow: far above any maximum.
    bool ok = false;
    const int v = t.toInt(&ok);
    return fieldValue(ok ? v : (t.isEmpty() ? 0 : maximum), maximum);
}

int fieldValue(int value, int maximum)
{
    if (value <= 0)
        return EmptyValue;
    if (value > maximum)
        value = maximum;
    if (value < Minimum)
        value = Minimum;
    return value;
}

QSize objectSize(QSize size, QSize game)
{
    return {fieldValue(size.width(), objectMaxWidth(game)), fieldValue(size.height(), objectMaxHeight(game))};
}

QSize characterSize(QSize size)
{
    return {fieldValue(size.width(), CharacterMaximum), fieldValue(size.height(), CharacterMaximum)};
}

} // namespace mb::sizerules
