#include "tools/languagegrid.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/uitexts.h"
#include "tools/languageupdate.h"

namespace mb {

int LanguageGrid::textList(Tab tab)
{
    static constexpr int lists[TabCount] = {0, 2, 4, 5, 6, 7, 8};
    return lists[tab];
}

int LanguageGrid::voiceList(Tab tab)
{
    return tab == Speech ? 1 : tab == Offspeech ? 3 : -1;
}

int LanguageGrid::rowHeight(const QString &originText)
{
    return int(originText.size() / 53) * 15 + 20;
}

QList<LanguageGrid::GridRow> LanguageGrid::showTab(ProjectModel &model, int languageSlot, Tab tab)
{
    const int list = textList(tab), voice = voiceList(tab);
    LangLists *lang = languageSlot >= 1 && languageSlot <= model.languages.size()
                              && model.languages.used(languageSlot)
                          ? &model.languages[languageSlot].lists
                          : nullptr;
    QStringList &origin = model.origin.list(list);
    QList<GridRow> rows;
    rows.reserve(origin.size());
    for (qsizetype i = 0; i < origin.size(); ++i) {
        GridRow row;
        if (origin[i].startsWith(kNewMark)) {
            origin[i].remove(0, kNewMark.size());
            row.mark = QStringLiteral("X");
            if (lang && i < lang->list(list).size() && lang->list(list)[i].startsWith(kNewMark))
                lang->list(list)[i].remove(0, kNewMark.size());
        }
        row.originText = origin[i];
        row.originVoice = voice >= 0 ? model.origin.list(voice).value(i) : QStringLiteral(" ");
        if (lang) {
            row.languageText = lang->list(list).value(i);
            if (voice >= 0)
                row.languageVoice = lang->list(voice).value(i);
        }
        row.height = rowHeight(row.originText);
        rows.append(row);
    }
    return rows;
}

bool LanguageGrid::store(RLang &language, int list, int index, const QString &value)
{
    if (list < 0 || language.name.isEmpty())
        return false;
    QStringList &entries = language.lists.list(list);
    if (index < 0 || index >= entries.size())
        return false;
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    if (v.startsWith(u"*/*"))
        return false;
    entries[index] = v.isEmpty() ? QStringLiteral(" ") : v;
    return true;
}

bool LanguageGrid::store(ProjectModel &model, int languageSlot, int list, int index, const QString &value)
{
    if (languageSlot < 1 || languageSlot > model.languages.size())
        return false;
    return store(model.languages[languageSlot], list, index, value);
}

bool LanguageGrid::store(ProjectSession &session, int languageSlot, int list, int index, const QString &value,
                         ProjectSession::MergeKey merge)
{
    bool stored = false;
    session.editRecord<RLang>(ProjectChange::language(languageSlot),
                              uiText(UiText::Translate, session.catalog().language()),
                              [&](RLang &language) { stored = store(language, list, index, value); }, merge);
    return stored;
}

QList<LanguageGrid::GridRow> LanguageGrid::showTab(ProjectSession &session, int languageSlot, Tab tab)
{
    return session.edit(uiText(UiText::MarkTextsSeen, session.catalog().language()),
                        table::Origin | table::Languages,
                        [&](ProjectEdit &e) { return showTab(e.model(), languageSlot, tab); });
}

bool LanguageGrid::setText(ProjectModel &model, int languageSlot, Tab tab, int index, const QString &text)
{
    return store(model, languageSlot, textList(tab), index, text);
}

bool LanguageGrid::setVoice(ProjectModel &model, int languageSlot, Tab tab, int index, const QString &voice)
{
    // A file name: blanks around it (the grid shows an empty one as " ") are no part of it.
    return store(model, languageSlot, voiceList(tab), index, voice.trimmed());
}

bool LanguageGrid::setText(ProjectSession &session, int languageSlot, Tab tab, int index, const QString &text,
                           ProjectSession::MergeKey merge)
{
    return store(session, languageSlot, textList(tab), index, text, merge);
}

bool LanguageGrid::setVoice(ProjectSession &session, int languageSlot, Tab tab, int index, const QString &voice,
                            ProjectSession::MergeKey merge)
{
    return store(session, languageSlot, voiceList(tab), index, voice.trimmed(), merge);
}

} // namespace mb
