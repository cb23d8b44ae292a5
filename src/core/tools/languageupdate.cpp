#include "tools/languageupdate.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "tools/languagescanner.h"

#include <QHash>

#include <vector>

namespace mb {

namespace {

// The origin text lists, each with its voice list (-1 for none).
constexpr struct { int list, voice; } kTextLists[] = {
    {0, 1}, {2, 3}, {4, -1}, {5, -1}, {6, -1}, {7, -1}, {8, -1}};
constexpr int kKommandos = 8;

bool hasMark(const QString &entry)
{
    return entry.startsWith(kNewMark) || entry.startsWith(kCheckMark);
}

bool collectable(const QString &text)
{
    return !text.isEmpty() && !text.startsWith(u"*/*") && !hasMark(text);
}

template <typename Fn>
void forEachLanguage(ProjectModel &m, Fn fn)
{
    for (RLang &lang : m.languages)
        if (!lang.name.isEmpty())
            fn(lang.lists);
}

class Updater
{
public:
    explicit Updater(ProjectModel &m) : m(m) {}

    void makeParallel()
    {
        LangLists &o = m.origin;
        for (const auto &k : kTextLists) {
            if (k.voice >= 0)
                resize(o.list(k.voice), o.list(k.list).size(), [](qsizetype) { return QStringLiteral(" "); });
        }
        forEachLanguage(m, [&](LangLists &lang) {
            for (const auto &k : kTextLists) {
                const QStringList &text = o.list(k.list);
                resize(lang.list(k.list), text.size(), [&](qsizetype i) { return withoutMark(text[i]); });
                if (k.voice >= 0) {
                    const QStringList &voice = o.list(k.voice);
                    resize(lang.list(k.voice), voice.size(), [&](qsizetype i) { return voice[i]; });
                }
            }
        });
    }

    void buildIndexes()
    {
        for (const auto &k : kTextLists) {
            QHash<QString, std::vector<int>> &index = m_index[k.list];
            const QStringList &list = m.origin.list(k.list);
            for (int i = 0; i < list.size(); ++i)
                index[withoutMark(list[i])].push_back(i);
        }
    }

    void collect(int list, int voiceList, const QString &text, const QString &voice)
    {
        if (!collectable(text) || (voiceList >= 0 && voice.startsWith(u"*/*")))
            return;
        QStringList &origin = m.origin.list(list);
        std::vector<int> &candidates = m_index[list][text];
        for (int i : candidates) {
            if (voiceList >= 0 && m.origin.list(voiceList).value(i) != voice)
                continue;
            if (!hasMark(origin[i]))
                origin[i].prepend(kCheckMark);
            return;
        }
        candidates.push_back(int(origin.size()));
        origin.append(kNewMark.toString() + text);
        if (voiceList >= 0)
            m.origin.list(voiceList).append(voice);
        forEachLanguage(m, [&](LangLists &lang) {
            lang.list(list).append(text);
            if (voiceList >= 0)
                lang.list(voiceList).append(voice);
        });
        m_changed = true;
    }

    void sweep()
    {
        for (const auto &k : kTextLists) {
            QStringList &origin = m.origin.list(k.list);
            std::vector<bool> keep(origin.size(), true);
            bool dropping = false;
            for (qsizetype i = 0; i < origin.size(); ++i) {
                if (origin[i].startsWith(kCheckMark))
                    origin[i].remove(0, kCheckMark.size());
                else if (!origin[i].startsWith(kNewMark)) {
                    keep[i] = false;
                    dropping = true;
                }
            }
            if (!dropping)
                continue;
            m_changed = true;
            filter(origin, keep);
            if (k.voice >= 0)
                filter(m.origin.list(k.voice), keep);
            forEachLanguage(m, [&](LangLists &lang) {
                filter(lang.list(k.list), keep);
                if (k.voice >= 0)
                    filter(lang.list(k.voice), keep);
            });
        }
    }

    bool changed() const { return m_changed; }

private:
    template <typename Fill>
    void resize(QStringList &list, qsizetype size, Fill fill)
    {
        if (list.size() == size)
            return;
        m_changed = true;
        if (list.size() > size)
            list.resize(size);
        while (list.size() < size)
            list.append(fill(list.size()));
    }

    // Keeps the entries whose index is marked; the lists are parallel, so one mask serves all.
    static void filter(QStringList &list, const std::vector<bool> &keep)
    {
        QStringList kept;
        kept.reserve(list.size());
        for (qsizetype i = 0; i < list.size(); ++i)
            if (i >= qsizetype(keep.size()) || keep[i])
                kept.append(std::move(list[i]));
        list = std::move(kept);
    }

    ProjectModel &m;
    QHash<QString, std::vector<int>> m_index[LangLists::Count];
    bool m_changed = false;
};

} // namespace

QString withoutMark(const QString &entry)
{
    return hasMark(entry) ? entry.mid(kNewMark.size()) : entry;
}

int findOriginEntry(const LangLists &origin, int list, int voiceList, const QString &text,
                    const QString &voice)
{
    const QStringList &entries = origin.list(list);
    for (int i = 0; i < entries.size(); ++i) {
        const QString &e = entries[i];
        const bool textMatches = e == text || (hasMark(e) && QStringView(e).mid(kNewMark.size()) == text);
        if (textMatches && (voiceList < 0 || origin.list(voiceList).value(i) == voice))
            return i;
    }
    return -1;
}

bool updateLanguageLists(ProjectModel &model, const WorkProgress &progress)
{
    qint64 scripts = 0;
    if (progress)
        LanguageScanner::forEachScript(model, [&scripts](const QStringList &) { ++scripts; });
    WorkMeter meter(progress, scripts);
    meter.update(0);

    Updater u(model);
    u.makeParallel();
    u.buildIndexes();

    qint64 scanned = 0;
    LanguageScanner::forEachScript(model, [&](const QStringList &lines) {
        for (const ScriptCall &call : LanguageScanner::scan(lines, LanguageScanner::TextKinds))
            if (const auto t = LanguageScanner::textCall(call))
                u.collect(t->list, t->voiceList, t->text, t->voice);
        meter.update(++scanned);
    });

    const CommandList &c = model.commands;
    QStringList shown{c.walktext, c.linktext, c.givelink};
    for (size_t row = 0; row < c.rows.size() && row < 19; ++row)
        shown.append(c.rows[row].text);
    for (const QString &text : shown)
        u.collect(kKommandos, -1, text, {});

    u.sweep();
    meter.finish();
    return u.changed();
}

bool updateLanguageLists(ProjectSession &session, const WorkProgress &progress)
{
    return session.edit(uiText(UiText::UpdateLanguageTexts, session.catalog().language()),
                        table::Origin | table::Languages,
                        [&progress](ProjectEdit &e) { return updateLanguageLists(e.model(), progress); });
}

int removeNewMarks(ProjectModel &model)
{
    int changed = 0;
    for (int list : {0, 2, 4, 5, 6, 7}) {
        for (QString &entry : model.origin.list(list)) {
            if (entry.startsWith(kNewMark)) {
                entry.remove(0, kNewMark.size());
                ++changed;
            }
        }
    }
    return changed;
}

} // namespace mb
