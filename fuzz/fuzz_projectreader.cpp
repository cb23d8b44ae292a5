// libFuzzer target for the project reader: every input must give either a project or a clear
// message, never a crash, a hang or an out-of-bounds read. Build with scripts/fuzz.sh.
#include "support/fuzzinput.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <QGuiApplication>

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static mb::MessageCatalog catalog;
    static auto model = std::make_unique<mb::ProjectModel>();
    bool hasLanguageFile = false;
    const mb::CompanionFiles files = mb::testing::splitFuzzInput(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)), &hasLanguageFile);
    const mb::ProjectFileResult r = mb::readCompanionFiles(*model, catalog, files, hasLanguageFile, QStringLiteral("fuzz"));
    if (!r.ok && r.message.isEmpty())
        __builtin_trap(); // a failure must always say what is wrong
    if (r.ok)
        (void)mb::writeCompanionFiles(*model);
    return 0;
}
