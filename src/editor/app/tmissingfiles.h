#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QTreeWidget;
class QPushButton;

namespace mb {

class MessageCatalog;
class MissingFiles;
class Asker;

// The dialog after an open that left media files missing: the entries still missing (name, kind
// and stored path) with their count, the folders the user added, "Add" to search one more folder and OK. The search and its
// lists belong to the MissingFiles object; the dialog shows them. It is window-modal over the
// main window, and closing it any way acts like OK.
class Tmissingfiles : public QDialog
{
    Q_OBJECT
public:
    Tmissingfiles(MissingFiles &search, const MessageCatalog &catalog, Asker &questions,
                  QWidget *parent = nullptr);

    // Rewrites the lists and the count from the search.
    void refresh();
    // Where the folder chooser starts when no folder was added yet: the project folder.
    void setStartFolder(const QString &folder) { m_startFolder = folder; }
    // Add folder: asks for a folder and searches it unless it was added before.
    void Button1Click();
    // OK: the project is no longer busy; entries still missing keep their paths.
    void Button2Click();

    // One row per missing entry: name, kind, stored path.
    QTreeWidget *missimages() const { return m_missimages; }
    QListWidget *newfolder() const { return m_newfolder; }
    QLabel *Label3() const { return m_count; }
    QPushButton *Button1() const { return m_add; }
    QPushButton *Button2() const { return m_ok; }

signals:
    // Paths were repaired: the window refreshes what shows media.
    void repaired();

protected:
    void done(int result) override;

private:
    MissingFiles &m_search;
    const MessageCatalog &m_catalog;
    Asker &m_questions;
    QTreeWidget *m_missimages;
    QListWidget *m_newfolder;
    QLabel *m_count;
    QPushButton *m_add;
    QPushButton *m_ok;
    QString m_startFolder;
    bool m_finishing = false;
};

} // namespace mb
