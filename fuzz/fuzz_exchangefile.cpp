// Room and character exchange files from elsewhere, imported into a project from memory: the
// import either adds the element with its images inside the project folder or changes nothing
// and writes nothing. The first byte says which kind of file the rest is. One session lives for
// the whole run; a successful import is followed by a new project, which empties only what the
// import filled.
#include "fuzzsupport.h"

#include "build/elementexchange.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {

bool folderIsEmpty(const QString &path)
{
    return !QDirIterator(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).hasNext();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    if (size < 1)
        return 0;
    static MessageCatalog catalog;
    static ProjectSession session(catalog);
    static const QString project = [] {
        const QString path = fuzz::scratchFolder() + QStringLiteral("/project");
        QDir().mkpath(path);
        return QFileInfo(path).canonicalFilePath();
    }();
    const bool room = data[0] & 1;
    const QByteArray file = fuzz::bytes(data + 1, size - 1);
    session.setProjectFolder(project);
    const ExchangeResult r = room ? importRoom(session, file, QStringLiteral("cellar.adr"))
                                  : importCharacter(session, file, QStringLiteral("bob.adc"));
    const ProjectModel &m = session.model();
    if (!r.ok) {
        fuzz::check(!r.message.isEmpty());
        fuzz::check(folderIsEmpty(project));
        fuzz::check(m.rooms.usedCount() == 0 && m.characters.usedCount() == 0 && m.media[Images].usedCount() == 0);
        return 0;
    }
    fuzz::check((room ? m.rooms.usedCount() : m.characters.usedCount()) == 1);
    for (int i = 1; i < m.media[Images].usedEnd(); ++i)
        if (!m.media[Images].name(i).isEmpty())
            fuzz::check(QFileInfo(m.media[Images].path(i)).canonicalFilePath().startsWith(project + u'/'));
    session.newProject();
    fuzz::emptyFolder(project);
    return 0;
}
