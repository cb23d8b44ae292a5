#include "tools/languagerecords.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "project/texthelpers.h"
#include "tools/languageupdate.h"

namespace mb {

AddLanguageResult addLanguage(ProjectModel &model, const QString &enteredName)
{
    AddLanguageResult r;
    const QString name = enteredName.trimmed();
    if (name.isEmpty())
        return r;
    // The language file starts each language's section with "*/*" + name + ";" and the
    // selectors list "origin" first: a name with ";" or equal to "origin" could not be told apart.
    for (QChar c : {u'(', u')', u'{', u'}', u';', u'"'}) {
        if (name.contains(c)) {
            r.status = AddLanguageResult::Invalid;
            r.message = Message::error(183);
            return r;
        }
    }
    if (findLanguage(model, name) >= 0) {
        r.status = AddLanguageResult::Exists;
        r.message = Message::build(Message::Information, 147).add(name).add(147);
        return r;
    }
    const int slot = model.languages.firstFree();
    if (slot == 0) {
        r.status = AddLanguageResult::Full;
        r.message = Message::extra(Message::Information, extratext::LanguagesFull,
                                   {QString::number(model.languages.size())});
        return r;
    }
    RLang &lang = model.languages[slot];
    lang.name = name;
    for (int i = 0; i < LangLists::Count; ++i) {
        QStringList &list = lang.lists.list(i);
        list.clear();
        for (const QString &entry : model.origin.list(i))
            list.append(withoutMark(entry));
    }
    model.names[NameLists::Languages].append(name);
    NameLists::sort(model.names[NameLists::Languages]);
    r.status = AddLanguageResult::Added;
    r.slot = slot;
    return r;
}

bool deleteLanguage(ProjectModel &model, int slot)
{
    if (slot < 1 || slot > model.languages.size() || !model.languages.used(slot))
        return false;
    NameLists::remove(model.names[NameLists::Languages], model.languages[slot].name);
    for (int s = slot; s < model.languages.size(); ++s)
        model.languages[s] = std::move(model.languages[s + 1]);
    model.languages[model.languages.size()] = RLang();
    return true;
}

AddLanguageResult addLanguage(ProjectSession &session, const QString &enteredName)
{
    const QString text = uiText(UiText::AddLanguage, session.catalog().language()).arg(enteredName.trimmed());
    return session.edit(text, table::Languages | table::Names,
                        [&](ProjectEdit &e) { return addLanguage(e.model(), enteredName); });
}

bool deleteLanguage(ProjectSession &session, int slot)
{
    const ProjectModel &m = session.model();
    const QString name = slot >= 1 && slot <= m.languages.size() ? m.languages[slot].name : QString();
    const QString text = uiText(UiText::DeleteLanguage, session.catalog().language()).arg(name);
    return session.edit(text, table::Languages | table::Names,
                        [&](ProjectEdit &e) { return deleteLanguage(e.model(), slot); });
}

int findLanguage(const ProjectModel &model, const QString &name)
{
    if (text::sameText(name, u"origin"))
        return 0;
    if (name.isEmpty())
        return -1;
    for (int s = 1; s <= model.languages.size(); ++s)
        if (text::sameText(model.languages[s].name, name))
            return s;
    return -1;
}

} // namespace mb
