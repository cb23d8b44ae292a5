// The zip reading layer and safe extraction on archives from anywhere: every entry reads or
// fails with a reason, and an extraction either writes exactly the archive's files inside the
// target folder or leaves nothing at all.
#include "fuzzsupport.h"

#include "platform/safeextract.h"
#include "platform/ziparchive.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace mb;
    const QByteArray input = fuzz::bytes(data, size);
    ZipReader zip(input);
    if (!zip.isOpen())
        return 0;
    QList<std::optional<QByteArray>> contents;
    for (int i = 0; i < zip.count(); ++i) {
        std::optional<QByteArray> entry = zip.read(i);
        fuzz::check(entry || !zip.errorString().isEmpty());
        fuzz::check(!entry || entry->size() == zip.declaredSize(i));
        contents.append(std::move(entry));
    }

    const QString root = fuzz::scratchFolder();
    const QString target = root + QStringLiteral("/target");
    const safeextract::Result r = safeextract::extractArchive(input, target, QStringLiteral("fuzz.zip"));
    if (!r.ok) {
        fuzz::check(!r.message.isEmpty());
        fuzz::check(!QFileInfo::exists(target)); // nothing is left behind
    } else {
        const QString canonical = QFileInfo(target).canonicalFilePath();
        for (const QString &file : r.files) {
            fuzz::check(file.startsWith(canonical + u'/'));
            fuzz::check(QFileInfo(file).isFile() && !QFileInfo(file).isSymLink());
        }
        // Only the files of the archive (and their folders) are there.
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            it.next();
            ++files;
        }
        fuzz::check(files == r.files.size());
    }
    fuzz::emptyFolder(root);
    return 0;
}
