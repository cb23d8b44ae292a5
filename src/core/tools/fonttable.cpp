#include "tools/fonttable.h"

#include "project/messagecatalog.h"
#include "project/uitexts.h"

#include <utility>

namespace mb::fonttable {

namespace {

QString stepText(const ProjectSession &session, UiText text, const QString &name = QString())
{
    const QString t = uiText(text, session.catalog().language());
    return t.contains(QLatin1String("%1")) ? t.arg(name) : t;
}

} // namespace

int add(ProjectSession &session)
{
    const int n = session.model().fontCount();
    if (n >= ProjectModel::MaxFonts)
        return -1;
    session.editRecord<RFont>(ProjectChange::font(n + 1), stepText(session, UiText::AddFont), [](RFont &f) {
        f = RFont();
        f.name = QStringLiteral("Arial");
        f.size = 12;
    });
    return n;
}

bool remove(ProjectSession &session, int row)
{
    const int n = session.model().fontCount();
    if (row < 0 || row >= n)
        return false;
    session.edit(stepText(session, UiText::RemoveFont, session.model().fonts[row + 1].name), table::Fonts,
                 [&](ProjectEdit &e) {
                     auto &fonts = e.model().fonts;
                     for (int i = row + 1; i < n; ++i)
                         fonts[i] = fonts[i + 1];
                     fonts[n] = RFont();
                 });
    return true;
}

bool swap(ProjectSession &session, int row, int to)
{
    const int n = session.model().fontCount();
    if (row < 0 || row >= n || to < 0 || to >= n || (to != row - 1 && to != row + 1))
        return false;
    session.edit(stepText(session, UiText::MoveFont, session.model().fonts[row + 1].name), table::Fonts,
                 [&](ProjectEdit &e) { std::swap(e.model().fonts[row + 1], e.model().fonts[to + 1]); });
    return true;
}

bool change(ProjectSession &session, int row, const RFont &font, ProjectSession::MergeKey merge)
{
    if (row < 0 || row >= session.model().fontCount())
        return false;
    const QString text = stepText(session, UiText::ChangeFont, session.model().fonts[row + 1].name);
    return session.editRecord<RFont>(ProjectChange::font(row + 1), text, [&](RFont &f) {
        const QString name = font.name.trimmed().isEmpty() ? f.name : font.name.trimmed();
        f = font;
        f.name = name;
    }, merge);
}

} // namespace mb::fonttable
