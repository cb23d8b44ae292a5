// The project reader: every input gives either a project or a clear message, never a crash, a
// hang or an out-of-bounds read; what was read saves again and reads back the same.
// Input: the four companion files one after the other (tests/support/fuzzinput.h).
#include "fuzzsupport.h"
#include "support/fuzzinput.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    static MessageCatalog catalog;
    static auto model = std::make_unique<ProjectModel>();
    static auto again = std::make_unique<ProjectModel>();
    bool hasLanguageFile = false;
    const CompanionFiles files = testing::splitFuzzInput(fuzz::bytes(data, size), &hasLanguageFile);
    const ProjectFileResult r = readCompanionFiles(*model, catalog, files, hasLanguageFile, QStringLiteral("fuzz"));
    fuzz::check(r.ok || !r.message.isEmpty()); // a failure always says what is wrong
    if (r.ok) {
        const CompanionFiles written = writeCompanionFiles(*model);
        const ProjectFileResult back = readCompanionFiles(*again, catalog, written, true, QStringLiteral("again"));
        fuzz::check(back.ok);
        fuzz::check(writeCompanionFiles(*again).files == written.files);
    }
    return 0;
}
