// libFuzzer target for the Flash movie header reader: every input must give either a header or
// a clear message, never a crash, a hang or an out-of-bounds read. Build with scripts/fuzz.sh.
#include "media/swfheader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (bool wholeFile : {true, false}) {
        const mb::SwfHeaderResult r = mb::readSwfHeader(bytes, wholeFile);
        if (r.ok == (r.error != mb::SwfError::None))
            __builtin_trap(); // success and an error at once, or neither
        if (!r.ok && mb::swfErrorText(r, QStringLiteral("fuzz.swf"), QStringLiteral("EN")).isEmpty())
            __builtin_trap(); // a failure must always say what is wrong
        if (r.ok && (r.header.xMax < r.header.xMin || r.header.yMax < r.header.yMin))
            __builtin_trap();
    }
    return 0;
}
