#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace mb {

class MessageCatalog;

// A text for the user as an operation reports it: catalog texts and the pieces around them (a
// name, a path), kept apart so that the text can be shown in either language later. The pieces
// are joined with single blanks; empty pieces are left out. An empty message (icon None) says
// there is nothing to show.
class Message
{
public:
    enum Icon : uint8_t { None, Error, Information, Confirmation };

    Message() = default;
    // A message whose main text is catalog text `number` (it becomes the first piece).
    Message(Icon icon, int number);
    static Message error(int number) { return {Error, number}; }
    static Message information(int number) { return {Information, number}; }
    // A message with the main number but pieces still to come (the number is not added).
    static Message build(Icon icon, int number);

    // Appends catalog text n, or a literal piece, after a blank.
    Message &add(int catalogNumber);
    Message &add(const QString &text);
    // Appends text n of the editor's second table (see ExtraText), its %1, %2 ... filled with
    // `pieces`.
    Message &addExtra(int extraNumber, const QStringList &pieces = {});
    // A message that is text n of the second table alone.
    static Message extra(Icon icon, int extraNumber, const QStringList &pieces = {})
    {
        return build(icon, 0).addExtra(extraNumber, pieces);
    }

    Icon icon() const { return m_icon; }
    // The main catalog text (147, 141 ...); 0 when there is none.
    int number() const { return m_number; }
    // Catalog number of the box caption: 366 "Error", 367 "Information" or 365 "Confirmation".
    int caption() const;
    bool isEmpty() const { return m_icon == None; }
    explicit operator bool() const { return m_icon != None; }

    // The text in the catalog's language, or in the given one.
    QString render(const MessageCatalog &catalog) const;
    QString render(const MessageCatalog &catalog, const QString &language) const;

    bool operator==(const Message &) const = default;

private:
    struct Piece
    {
        int number = 0; // a catalog text, or 0 for the literal text
        QString text;
        bool extra = false; // `number` is a text of the second table
        QStringList args;   // its pieces
        bool operator==(const Piece &) const = default;
    };
    Icon m_icon = None;
    int m_number = 0;
    std::vector<Piece> m_pieces;
};

} // namespace mb
