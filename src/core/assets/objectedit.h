#pragma once

#include <QSize>
#include <QString>

namespace mb {

struct Robj;

// The object editor's own rules: its size fields.
namespace objectedit {

// Stores the size after the field rules (an object may be three screens wide and two high) and
// pulls every image offset of every frame in all states back to at most (width - 10,
// height - 10). Returns true when the object changed.
bool applySize(Robj &obj, QSize requested, QSize game);
// The same from the two fields' texts as typed.
bool applySize(Robj &obj, const QString &widthText, const QString &heightText, QSize game);

} // namespace objectedit
} // namespace mb
