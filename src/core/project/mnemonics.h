#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// Keyboard mnemonics ("&File") for menu texts that come from the catalog without them, in any
// language: each text of one menu gets a letter of its own, so Alt+letter (or the letter in an
// open menu) reaches exactly one entry.

// The plain texts with a "&" before the chosen character, in the same order; a literal "&" is
// doubled so that it shows. Preference: the first letter of a word, then any letter, then any
// digit, the first free one in the text; letters compare without case. A text with no free
// character gets no mnemonic.
QStringList withMnemonics(const QStringList &plainTexts);

} // namespace mb
