#pragma once
// Rules of the project settings window that do not need a widget: the normalisation of the two
// height fields, the checks made before the window closes, the fade-speed labels and the limits
// of the coin interface marker. The window, the command line and the tests share them.

#include <QString>

namespace mb {

struct GameSettings;

// Keeps only the digits 0-9 (the task bar height field takes nothing else).
QString keepDigits(const QString &text);
// Keeps only the digits and "-" (the action text height field).
QString keepDigitsAndMinus(const QString &text);

// The task bar height as it stands once the field is left: empty -> gameHeight / 3; below 50 ->
// 50; above gameHeight / 2 -> gameHeight / 2; then rounded to a multiple of 10, a value ending in
// 5 going to the even multiple (145 -> 140, 155 -> 160). Non-digits are ignored.
QString normaliseTaskHeight(const QString &text, int gameHeight);
// The action text height once the field is left: an empty field becomes "0", anything else stays.
QString normaliseActionTextHeight(const QString &text);

// Catalog number of the first problem that keeps the settings window open, 0 when all is valid:
// 269 forbidden character in the project name ({ } ( ) ; " \ / : * ? < | >), 270 empty project
// name, 271 / 272 / 273 one of ( ) { } ; " , in the start script, the task bar room or the own
// menu room.
int validateSetup(const QString &projectName, const QString &startScript, const QString &taskRoom,
                  const QString &ownMenuRoom);
int validateSetup(const GameSettings &settings);

// Catalog number of the label beside a fade speed bar: 241 at 0, then 429 (from 1), 430 (300),
// 431 (650), 432 (1000), 433 (1450).
int fadeLabelMessage(int position);

// Limits of the coin interface marker: a top outside -10..138 snaps to -11 or 139, a left
// outside -10..188 to -11 or 189.
int clampCoinTop(int top);
int clampCoinLeft(int left);

} // namespace mb
