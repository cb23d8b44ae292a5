#include "assets/asseteditorsetup.h"

#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "assets/tcharbox.h"
#include "assets/titembox.h"
#include "assets/tmausbox.h"
#include "assets/tobjbox.h"
#include "dialogs/tskriptzeile.h"
#include "dialogs/ttexteingabe.h"
#include "project/editorsettings.h"

#include <QLabel>
#include <QMdiSubWindow>

namespace mb {

namespace {

struct EditorInfo
{
    const char *name;
    int nodeImage; // the game tree nodes it shows; -1 none
    const char *configKey;
};
constexpr EditorInfo kEditors[4] = {
    {"objbox", nodeimage::Object, "Objekt"},
    {"charbox", nodeimage::Character, "Character"},
    {"itembox", nodeimage::Item, "Gegenstand"},
    {"mausbox", -1, "Mauszeiger"},
};

} // namespace

AssetEditorSetup::AssetEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings)
    : QObject(&form), m_form(form), m_session(session), m_catalog(catalog), m_settings(settings),
      m_scriptLine(new Tskriptzeile(session, catalog, settings, &form)),
      m_textInput(new Ttexteingabe(session, catalog, settings, form.questions(), &form))
{
    setObjectName(QStringLiteral("asseteditors"));
    for (int i = 0; i < 4; ++i) {
        const EditorInfo info = kEditors[i];
        form.setToolWindowFactory(QLatin1String(info.name), [this, i, info](const QString &) -> QWidget * {
            AssetBox *w = nullptr;
            switch (i) {
            case 0: w = new Tobjbox(m_form, m_session, m_catalog, m_settings, m_scriptLine); break;
            case 1: w = new Tcharbox(m_form, m_session, m_catalog, m_settings, m_scriptLine, m_textInput); break;
            case 2: w = new Titembox(m_form, m_session, m_catalog, m_settings, m_scriptLine); break;
            default: w = new Tmausbox(m_form, m_session, m_catalog, m_settings); break;
            }
            connect(w, &AssetBox::status, this, [this](const QString &text) { m_form.statusPanel(2)->setText(text); });
            if (i < 3)
                w->openElement(m_requests[i]);
            // The window's place from config.ini, once the frame around it exists.
            QMetaObject::invokeMethod(w, [this, w, info] {
                bool okTop = false, okLeft = false;
                const QString key = QLatin1String(info.configKey);
                const int top = m_settings.readsetting(key + QStringLiteral(" Top")).toInt(&okTop);
                const int left = m_settings.readsetting(key + QStringLiteral(" Left")).toInt(&okLeft);
                QWidget *frame = w->parentWidget() ? w->parentWidget() : w;
                if (auto *sub = qobject_cast<QMdiSubWindow *>(frame)) {
                    sub->setWindowTitle(w->windowTitle());
                    sub->adjustSize();
                }
                if (okTop && okLeft && top != -1 && left != -1)
                    frame->move(left, top);
            }, Qt::QueuedConnection);
            return w;
        });
    }

    // The game tree: the selected element goes to its editor, another kind empties it.
    PoolView *pool = form.gamepool();
    auto clicked = [this, pool](const QModelIndex &index) {
        const TreeNode *node = pool->poolModel()->node(index);
        if (!node || !node->parent)
            return;
        if (PoolOps::elementKindOfImage(node->imageIndex) < 0)
            return; // folders
        for (int i = 0; i < 3; ++i)
            request(QLatin1String(kEditors[i].name),
                    node->imageIndex == kEditors[i].nodeImage ? node->text : QStringLiteral("free"));
    };
    connect(pool, &QAbstractItemView::clicked, this, clicked);
    connect(pool, &QAbstractItemView::doubleClicked, this, clicked);
    connect(pool, &QAbstractItemView::activated, this, clicked);
}

AssetBox *AssetEditorSetup::window(const QString &name) const
{
    QMdiSubWindow *sub = m_form.toolWindow(name);
    return sub ? qobject_cast<AssetBox *>(sub->widget()) : nullptr;
}

void AssetEditorSetup::request(const QString &window, const QString &element)
{
    for (int i = 0; i < 3; ++i)
        if (window == QLatin1String(kEditors[i].name)) {
            m_requests[i] = element;
            if (AssetBox *w = this->window(window))
                w->openElement(element);
        }
}

} // namespace mb
