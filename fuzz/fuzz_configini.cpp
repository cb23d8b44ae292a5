// config.ini as any editor left it, read and written in memory by the same rules the file
// follows: reading never fails, and a setting written reads back while every other setting
// keeps its value.
#include "fuzzsupport.h"

#include "project/editorsettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    const QByteArray ini = fuzz::bytes(data, size);
    static const QString keys[] = {QStringLiteral("Lang"), QStringLiteral("Createpath"), QStringLiteral("Backup"),
                                   QStringLiteral("Room Left"), QStringLiteral("Openpath")};
    QString before[5];
    for (int i = 0; i < 5; ++i)
        before[i] = EditorSettings::settingIn(ini, keys[i]);
    // The value to write comes from the input too, so odd values are tried as well.
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 24)));
    const std::optional<QByteArray> written = EditorSettings::withSetting(ini, keys[1], value);
    if (written) {
        fuzz::check(EditorSettings::settingIn(*written, keys[1]) == value);
        for (int i = 0; i < 5; ++i)
            if (i != 1)
                fuzz::check(EditorSettings::settingIn(*written, keys[i]) == before[i]);
    } else {
        fuzz::check(value.contains(u'\n') || value.contains(u'\r')); // the only reason to refuse
    }
    return 0;
}
