// The records of the room and character exchange files (room.dat, char.dat, script.dat), read
// as an import reads them: a result or a message, and what was read writes out and reads back.
// Input: the records, the separator line of tests/support/fuzzinput.h, the script sections.
#include "fuzzsupport.h"
#include "support/fuzzinput.h"

#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    static MessageCatalog catalog;
    static auto scratch = std::make_unique<ProjectModel>();
    static auto again = std::make_unique<ProjectModel>();
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype cut = input.indexOf(testing::kFuzzSeparator);
    const QByteArray records = cut < 0 ? input : input.left(cut);
    const QByteArray scripts = cut < 0 ? QByteArray() : input.mid(cut + qsizetype(sizeof(testing::kFuzzSeparator) - 1));
    const QString records_ = QStringLiteral("room.dat"), scripts_ = QStringLiteral("script.dat");
    const ProjectFileResult r = readElementRecords(*scratch, catalog, records, scripts, QStringLiteral("fuzz"),
                                                   records_, scripts_);
    fuzz::check(r.ok || !r.message.isEmpty());
    if (!r.ok)
        return 0;
    // Every room and character read writes out in the exchange layout and reads back.
    QByteArray outRecords, outScripts;
    const ProjectModel &m = *scratch;
    for (const Rcharacter &c : m.characters)
        if (!c.name.isEmpty())
            outRecords += characterRecord(c);
    for (const Robj &o : m.objects)
        if (!o.name.isEmpty())
            outRecords += objectRecord(o);
    for (const Rroom &room : m.rooms)
        if (!room.name.isEmpty()) {
            outRecords += roomRecord(room);
            outScripts += roomScriptSections(room);
        }
    const ProjectFileResult back = readElementRecords(*again, catalog, outRecords, outScripts, QStringLiteral("again"),
                                                      records_, scripts_);
    fuzz::check(back.ok);
    fuzz::check(again->rooms.usedCount() == m.rooms.usedCount());
    fuzz::check(again->characters.usedCount() == m.characters.usedCount());
    return 0;
}
