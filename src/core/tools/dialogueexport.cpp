#include "tools/dialogueexport.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "tools/languagescanner.h"
#include "tools/languageupdate.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <vector>

namespace mb {

namespace {

const QString kForgottenFile = forgottenDialogueFile();
const QString kOffspeechFile = QStringLiteral("offspeech.txt");

// A script argument used as a file name: no folder parts, nothing a file system refuses.
QString safeFileName(const QString &name)
{
    QString out = name;
    for (QChar &c : out)
        if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c))
            c = u'_';
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("_");
    return out;
}

// The files of one export, each written whole at the end: a file used in this run starts
// empty, which is what removing it on first use and then appending gives.
class Output
{
public:
    QStringList &lines(const QString &fileName)
    {
        const QString key = text::asciiLower(fileName);
        auto it = m_index.constFind(key);
        if (it != m_index.constEnd())
            return m_files[*it].second;
        m_index.insert(key, int(m_files.size()));
        m_files.push_back({fileName, {}});
        return m_files.back().second;
    }

    ToolFilesResult write(const QString &folder) const
    {
        ToolFilesResult r;
        const QDir dir(folder);
        for (const auto &[name, lines] : m_files) {
            const QString path = dir.filePath(name);
            if (!langfile::writeLines(path, lines, &r.error)) {
                r.ok = false;
                return r;
            }
            r.files.append(path);
        }
        return r;
    }

private:
    std::vector<std::pair<QString, QStringList>> m_files;
    QHash<QString, int> m_index;
};

// Origin entries by their text without mark, for the look-up of a call's translation.
class OriginIndex
{
public:
    OriginIndex(const LangLists &origin, int list) : m_origin(origin)
    {
        const QStringList &entries = origin.list(list);
        for (int i = 0; i < entries.size(); ++i)
            m_byText[withoutMark(entries[i])].push_back(i);
    }
    int find(int voiceList, const QString &text, const QString &voice) const
    {
        const auto it = m_byText.constFind(text);
        if (it == m_byText.constEnd())
            return -1;
        for (int i : *it)
            if (voiceList < 0 || m_origin.list(voiceList).value(i) == voice)
                return i;
        return -1;
    }

private:
    const LangLists &m_origin;
    QHash<QString, std::vector<int>> m_byText;
};

} // namespace

QString defaultDialogueFolder(const ProjectSession &session)
{
    return langfile::defaultFolder(session, session.catalog().msg(443));
}

ToolFilesResult exportDialogues(const ProjectModel &model, const DialogueExportOptions &options)
{
    ToolFilesResult r;
    const QDir dir(options.folder);
    if (!langfile::makeFolder(options.folder, &r.error)
        || !langfile::removeIfExists(dir.filePath(kForgottenFile), &r.error)
        || !langfile::removeIfExists(dir.filePath(kOffspeechFile), &r.error)) {
        r.ok = false;
        return r;
    }

    const LangLists *language = nullptr;
    if (options.languageSlot >= 1 && options.languageSlot <= model.languages.size()
        && model.languages.used(options.languageSlot))
        language = &model.languages[options.languageSlot].lists;
    const OriginIndex speechIndex(model.origin, 0), offspeechIndex(model.origin, 2);

    QSet<QString> poolSounds;
    const MediaTable &sounds = model.media[Sounds];
    for (int s = 1; s <= sounds.size(); ++s)
        if (!sounds.name(s).isEmpty())
            poolSounds.insert(sounds.name(s));

    Output out;
    QSet<QString> seenVoices;
    const auto kinds = LanguageScanner::kindBit(ScriptCall::Speech) | LanguageScanner::kindBit(ScriptCall::Offspeech);

    LanguageScanner::forEachScript(model, [&](const QStringList &lines) {
        int lastLine = -1;
        for (const ScriptCall &call : LanguageScanner::scan(lines, kinds)) {
            auto t = LanguageScanner::textCall(call);
            if (!t || call.line == lastLine)
                continue;
            lastLine = call.line;
            if (t->list == 0 && t->character.isEmpty())
                continue;

            if (language) {
                const OriginIndex &index = t->list == 0 ? speechIndex : offspeechIndex;
                const int i = index.find(t->voiceList, t->text, t->voice);
                if (i >= 0 && i < language->list(t->list).size()) {
                    t->text = language->list(t->list)[i];
                    t->voice = LanguageScanner::voiceEntry(language->list(t->voiceList).value(i).trimmed());
                }
            }
            const bool hasVoice = t->voice != QLatin1String(" ");
            // Voice files are file names: the same file whatever the letter case.
            const QString voiceKey = text::asciiLower(t->voice);
            if (options.includeVoiceNames) {
                if (!hasVoice) {
                    if (options.forgotten)
                        out.lines(kForgottenFile).append(t->text);
                    continue;
                }
                if ((options.skipExisting && poolSounds.contains(voiceKey))
                    || (options.dedupe && seenVoices.contains(voiceKey)))
                    continue;
            }
            if (hasVoice)
                seenVoices.insert(voiceKey);
            const QString file = t->list == 0 ? safeFileName(t->character) + QStringLiteral(".txt") : kOffspeechFile;
            out.lines(file).append(options.includeVoiceNames
                                       ? u'(' + t->voice + QStringLiteral(") - ") + t->text
                                       : QStringLiteral(" - ") + t->text);
        }
    });
    return out.write(options.folder);
}

QString forgottenDialogueFile() { return QStringLiteral("vergessen.txt"); }

QString forgottenDialogueOption(const MessageCatalog &catalog)
{
    // The catalog's text names the file by another name (450) than the one written.
    QString text = catalog.msg(446);
    return text.replace(catalog.msg(450), forgottenDialogueFile());
}

} // namespace mb
