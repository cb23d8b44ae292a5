#pragma once

#include <QString>

class QTranslator;

namespace mb {

// Qt's own texts (the buttons of message boxes, the file dialogs, the context menus of text
// fields) in the editor's language: for "DE" the German translations that come with Qt are
// installed into the application. English needs none. Returns the installed translator (owned
// by the application), or nullptr when none was installed; without the translation files Qt
// stays English. Call once, after the application object exists.
QTranslator *installQtTranslations(const QString &language);

} // namespace mb
