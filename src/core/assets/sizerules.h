#pragma once

#include <QSize>
#include <QString>

namespace mb {

// The rule of the asset editors' number fields (object and character sizes, the start zoom):
// an empty field or 0 becomes 100, a value above the maximum the maximum, a value below 10
// becomes 10.
namespace sizerules {

constexpr int Minimum = 10, EmptyValue = 100;
constexpr int CharacterMaximum = 512; // width and height of a character's action
constexpr int ZoomMaximum = 300;      // a character's start zoom in percent

// The field's text as typed (digits only; anything else counts as empty).
int fieldValue(const QString &text, int maximum);
int fieldValue(int value, int maximum);

// An object may be three screens wide and two high.
inline int objectMaxWidth(QSize game) { return 3 * game.width(); }
inline int objectMaxHeight(QSize game) { return 2 * game.height(); }

// A size under the object's rules, or the character's.
QSize objectSize(QSize size, QSize game);
QSize characterSize(QSize size);

} // namespace sizerules
} // namespace mb
