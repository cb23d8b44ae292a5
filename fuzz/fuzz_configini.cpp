// config.ini as any editor left it: reading never fails, and a setting written reads back while
// every other setting keeps its value.
#include "fuzzsupport.h"

#include "project/editorsettings.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    const QString folder = fuzz::scratchFolder();
    EditorSettings settings(folder);
    {
        QFile f(settings.filePath());
        if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            return 0;
    }
    static const QString keys[] = {QStringLiteral("Lang"), QStringLiteral("Createpath"), QStringLiteral("Backup"),
                                   QStringLiteral("Room Left"), QStringLiteral("Openpath")};
    QString before[5];
    for (int i = 0; i < 5; ++i)
        before[i] = settings.readsetting(keys[i]);
    // The value to write comes from the input too, so odd values are tried as well.
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 24)));
    if (settings.writesetting(QStringLiteral("Createpath"), value)) {
        fuzz::check(settings.readsetting(QStringLiteral("Createpath")) == value);
        for (int i = 0; i < 5; ++i)
            if (i != 1)
                fuzz::check(settings.readsetting(keys[i]) == before[i]);
    } else {
        fuzz::check(!settings.errorString().isEmpty());
    }
    // The language is the stored one, or English stored when there was none.
    const QString language = settings.startLanguage();
    fuzz::check(language == settings.readsetting(QStringLiteral("Lang")));
    QFile::remove(settings.filePath());
    return 0;
}
