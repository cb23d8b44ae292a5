#pragma once

#include <QByteArray>

class QRandomGenerator;

namespace mb {

// The password of a protected game: made anew for every build, it encrypts the four media
// archives, and game.005 inside game.dat tells it to the runtime.
class BuildPassword
{
public:
    static constexpr int Length = 20;

    // 20 characters, each drawn as an integer 0..124 and drawn again until it is a digit or an
    // ASCII letter.
    static QByteArray generate(QRandomGenerator &random);

    // The one line of game.005 (ended by CR LF): for characters 1-5 the decimal value of the
    // character code times 5, for 6-10 times 4, for 11-15 times 6, for 16-20 times 3, all
    // concatenated without padding or separators. Every value has three digits (48 * 3 = 144 ..
    // 122 * 6 = 732). Expects a password made by generate().
    static QByteArray game005(const QByteArray &password);
};

} // namespace mb
