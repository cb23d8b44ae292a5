#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// The numbered user-interface texts (1..562) in English and German.
//
// The texts are kept as resource files in the "NNN:text" form, one line per entry; msg() strips
// the number and the colon. A language other than "EN" or "DE" falls back to English, and so does
// a number outside 1..count() (which yields an empty text).
class MessageCatalog
{
public:
    static constexpr int count() { return 562; }

    explicit MessageCatalog(const QString &language = QStringLiteral("EN"));

    QString language() const { return m_language; }
    void setLanguage(const QString &language) { m_language = language; }

    // Text n in the current language; empty for a number out of range.
    QString msg(int n) const;
    // Text n in the given language ("EN", "DE"; anything else gives English).
    QString msg(int n, const QString &language) const;

    // The raw lines ("001:1) CHARACTER") of a language; used by tests and the catalog checks.
    static const QStringList &lines(const QString &language);

private:
    QString m_language;
};

} // namespace mb
