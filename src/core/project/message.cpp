#include "project/message.h"

#include "project/messagecatalog.h"

namespace mb {

Message::Message(Icon icon, int number) : m_icon(icon), m_number(number)
{
    m_pieces.push_back({number, {}, false, {}});
}

Message Message::build(Icon icon, int number)
{
    Message m;
    m.m_icon = icon;
    m.m_number = number;
    return m;
}

Message &Message::add(int catalogNumber)
{
    m_pieces.push_back({catalogNumber, {}, false, {}});
    return *this;
}

Message &Message::add(const QString &text)
{
    m_pieces.push_back({0, text, false, {}});
    return *this;
}

Message &Message::addExtra(int extraNumber, const QStringList &pieces)
{
    m_pieces.push_back({extraNumber, {}, true, pieces});
    return *this;
}

int Message::caption() const
{
    switch (m_icon) {
    case Error: return 366;
    case Confirmation: return 365;
    default: return 367;
    }
}

QString Message::render(const MessageCatalog &catalog) const
{
    return render(catalog, catalog.language());
}

QString Message::render(const MessageCatalog &catalog, const QString &language) const
{
    QString out;
    for (const Piece &p : m_pieces) {
        QString piece = p.extra ? catalog.extra(p.number, language) : p.number ? catalog.msg(p.number, language) : p.text;
        for (const QString &arg : p.args)
            piece = piece.arg(arg);
        if (piece.isEmpty())
            continue;
        if (!out.isEmpty())
            out += u' ';
        out += piece;
    }
    return out;
}

} // namespace mb
