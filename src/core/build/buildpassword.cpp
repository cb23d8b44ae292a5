#include "build/buildpassword.h"

#include <QRandomGenerator>

namespace mb {

namespace {

bool allowed(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr int factor(int position) // 0-based
{
    constexpr int factors[4] = {5, 4, 6, 3};
    return factors[position / 5];
}

} // namespace

QByteArray BuildPassword::generate(QRandomGenerator &random)
{
    QByteArray password;
    password.reserve(Length);
    while (password.size() < Length) {
        const int c = int(random.bounded(125));
        if (allowed(c))
            password += char(c);
    }
    return password;
}

QByteArray BuildPassword::game005(const QByteArray &password)
{
    QByteArray line;
    for (int i = 0; i < password.size() && i < Length; ++i)
        line += QByteArray::number(int(static_cast<unsigned char>(password[i])) * factor(i));
    return line + "\r\n";
}

} // namespace mb
