#include "build/fontcharset.h"

#include "platform/ansicodec.h"

#include <QtDebug>

#include <array>

#include <iconv.h>

namespace mb {

namespace {

struct CharsetEntry
{
    const char *label;
    int systemNumber;
    const char *codePage;
};

// Western and Dos OEM stand for the system's default and OEM sets; a Western system uses
// Windows-1252 and code page 437 for them.
constexpr std::array<CharsetEntry, FontCharset::Count> kCharsets = {{
    {"Western", 1, "CP1252"},
    {"East european", 238, "CP1250"},
    {"Russian", 204, "CP1251"},
    {"Greek", 161, "CP1253"},
    {"Turkish", 162, "CP1254"},
    {"Arabic", 178, "CP1256"},
    {"Hebrew", 177, "CP1255"},
    {"Vietnamese", 163, "CP1258"},
    {"Thai", 222, "CP874"},
    {"Baltic", 186, "CP1257"},
    {"Japanese ShiftJIS", 128, "CP932"},
    {"Dos OEM", 255, "CP437"},
    {"Symbol", 2, "ISO-8859-1"},
}};

bool inList(int index) { return index >= 0 && index < FontCharset::Count; }

// One byte through an open converter; empty when the byte is no character by itself.
QString convertByte(iconv_t cd, unsigned char byte)
{
    char in = char(byte);
    char *inPtr = &in;
    size_t inLeft = 1;
    char16_t out[8];
    char *outPtr = reinterpret_cast<char *>(out);
    size_t outLeft = sizeof out;
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    // Windows-1258 holds a base letter back to combine it with a following accent; flush it.
    if (r != size_t(-1))
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state for the next byte
    if (r == size_t(-1))
        return {};
    const qsizetype units = qsizetype((sizeof out - outLeft) / sizeof(char16_t));
    return QString::fromUtf16(out, units);
}

} // namespace

QString FontCharset::label(int index)
{
    return inList(index) ? QString::fromLatin1(kCharsets[index].label) : QString();
}

int FontCharset::systemNumber(int index)
{
    return inList(index) ? kCharsets[index].systemNumber : 0;
}

const char *FontCharset::codePage(int index)
{
    return kCharsets[inList(index) ? index : 0].codePage;
}

QStringList FontCharset::characters(int index)
{
    QStringList chars;
    chars.reserve(CodeCount);
    for (int code = FirstCode; code < 128; ++code)
        chars << QString(QChar(code));

    const char *page = codePage(index);
    iconv_t cd = iconv_open("UTF-16LE", page);
    if (cd == iconv_t(-1)) {
        qWarning("iconv has no code page %s; rendering its characters as Windows-1252", page);
        for (int code = 128; code <= LastCode; ++code) {
            const QChar c = ansi::charFor(static_cast<unsigned char>(code));
            chars << (c.category() == QChar::Other_Control ? QString() : QString(c));
        }
        return chars;
    }
    for (int code = 128; code <= LastCode; ++code)
        chars << convertByte(cd, static_cast<unsigned char>(code));
    iconv_close(cd);
    return chars;
}

} // namespace mb
