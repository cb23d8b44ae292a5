#pragma once

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QTreeWidget;
class QTreeWidgetItem;

namespace mb {

// The main window: menus, toolbar, the game and media trees, the status bar and the area that
// holds the tool windows. It owns nothing of the project: model, catalog and settings are given.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    TForm1(ProjectModel &model, MessageCatalog &catalog, EditorSettings &settings,
           QWidget *parent = nullptr);

    QTreeWidget *gamepool() const { return m_gamepool; }
    QTreeWidget *mediapool() const { return m_mediapool; }
    QLabel *statusPanel(int i) const { return m_panels[i]; }

    // Rebuilds both trees from the model.
    void refreshTrees();
    // Recounts the media and elements into panels 0 and 1 of the status bar.
    void StatusBar1Click();
    void setLanguage(const QString &code);

private:
    void buildMenus();
    QString caption() const;

    ProjectModel &m_model;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    QTreeWidget *m_gamepool = nullptr;
    QTreeWidget *m_mediapool = nullptr;
    QMdiArea *m_mdi = nullptr;
    QLabel *m_panels[3] = {};
    QAction *m_english = nullptr;
    QAction *m_deutsch = nullptr;
};

} // namespace mb
