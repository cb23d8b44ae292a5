// Room and character exchange files from elsewhere, imported into a project: the import either
// adds the element with its images inside the project folder or changes nothing and writes
// nothing. The first byte says which kind of file the rest is.
#include "fuzzsupport.h"

#include "build/elementexchange.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    if (size < 1)
        return 0;
    static MessageCatalog catalog;
    const QString root = fuzz::scratchFolder();
    const QString project = root + QStringLiteral("/project");
    const bool room = data[0] & 1;
    const QString file = root + (room ? QStringLiteral("/cellar.adr") : QStringLiteral("/bob.adc"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1)) != qint64(size - 1))
            return 0;
    }
    QDir().mkpath(project);
    ProjectSession session(catalog);
    session.setProjectFolder(project);
    const ExchangeResult r = room ? importRoom(session, file) : importCharacter(session, file);
    const ProjectModel &m = session.model();
    int written = 0;
    QDirIterator it(project, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++written;
    }
    if (!r.ok) {
        fuzz::check(!r.message.isEmpty());
        fuzz::check(written == 0);
        fuzz::check(m.rooms.usedCount() == 0 && m.characters.usedCount() == 0 && m.media[Images].usedCount() == 0);
    } else {
        fuzz::check((room ? m.rooms.usedCount() : m.characters.usedCount()) == 1);
        for (int i = 1; i <= m.media[Images].size(); ++i)
            if (!m.media[Images].name(i).isEmpty())
                fuzz::check(QFileInfo(m.media[Images].path(i)).canonicalFilePath().startsWith(QFileInfo(project).canonicalFilePath() + u'/'));
    }
    fuzz::emptyFolder(root);
    return 0;
}
