// Runs a fuzz target once on every file of the folders or files given: the corpus as a test,
// built with the normal compiler (and the sanitizers when the build has them).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int runs = 0;
    for (int a = 1; a < argc; ++a) {
        const QString path = QFile::decodeName(argv[a]);
        QStringList files;
        if (QFileInfo(path).isDir())
            for (const QString &name : QDir(path).entryList(QDir::Files, QDir::Name))
                files << QDir(path).filePath(name);
        else
            files << path;
        for (const QString &file : files) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: cannot be read\n", qPrintable(file));
                return 2;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++runs;
        }
    }
    std::printf("%d inputs replayed\n", runs);
    return runs > 0 ? 0 : 1;
}
