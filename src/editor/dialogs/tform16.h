#pragma once
// The language and sound tools: export the dialogues for the voice recording, translate the
// texts of the scripts into the project's languages, and list the sound and music files the
// scripts ask for. Showing the translate page brings the language lists up to date first.


#include "tools/languagegrid.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTableWidget;
class QTabWidget;

namespace mb {

class Asker;

class EditorSettings;
class MessageCatalog;
class ProjectSession;
class Ttexteingabe;

class TForm16 : public QDialog
{
    Q_OBJECT
public:
    enum Page { ExportPage = 0, TranslatePage = 1, SoundPage = 2 };

    TForm16(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
            Asker &asker, QWidget *parent = nullptr);

    // Shows the page (and runs the update when it is the translate page).
    void showPage(Page page);
    // Whether an update of the text lines ran since the window was last shown.
    bool updated() const { return m_updated; }

    // The language slot the translate page shows (0: none defined).
    int languageSlot() const;

    void button1Click(); // export dialogues
    void button3Click(); // add language
    void button4Click(); // delete language
    void button7Click(); // create sound lists

    QTabWidget *pages() const { return m_pages; }
    QComboBox *exportLanguage() const { return m_sprache2; }
    QLineEdit *exportFolder() const { return m_ziel; }
    QCheckBox *includeVoiceBox() const { return m_checkBox1; }
    QCheckBox *forgottenBox() const { return m_vergessen; }
    QComboBox *language() const { return m_sprache; }
    QTabBar *listTabs() const { return m_tabControl1; }
    QTableWidget *grid() const { return m_xgrid; }
    QLineEdit *textEdit() const { return m_textzeile; }
    QLineEdit *voiceEdit() const { return m_sprachfile; }
    QLineEdit *soundFolder() const { return m_ziel2; }
    QCheckBox *skipPooledBox() const { return m_checkBox5; }
    Ttexteingabe *textInput() const { return m_input; }


protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateTextLines();
    void fillLanguages(int selectSlot);
    void showTab();
    void selectRow(int row);
    void textChanged(const QString &text);
    void voiceChanged(const QString &voice);
    void pageChanged(int page);
    void done(const QStringList &, bool ok, const QString &error);

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    Asker &m_asker;
    bool m_updated = false;
    bool m_filling = false;
    int m_row = -1;
    int m_entries = 0; // rows of the grid that hold an entry
    QTabWidget *m_pages = nullptr;
    QLabel *m_panel = nullptr;
    QProgressBar *m_updateBar = nullptr; // under the panel while the text lines are updated
    // Export page.
    QLineEdit *m_ziel = nullptr;
    QString m_zielDefault, m_ziel2Default;
    QComboBox *m_sprache2 = nullptr;
    QCheckBox *m_checkBox1 = nullptr, *m_vergessen = nullptr, *m_doppelt = nullptr,
              *m_schonvorhanden = nullptr;
    // Translate page.
    QComboBox *m_sprache = nullptr;
    QTabBar *m_tabControl1 = nullptr;
    QTableWidget *m_xgrid = nullptr;
    QLineEdit *m_textzeile = nullptr, *m_sprachfile = nullptr;
    QFormLayout *m_edits = nullptr; // text and voice file rows
    QPushButton *m_button3 = nullptr, *m_button4 = nullptr;
    Ttexteingabe *m_input = nullptr;
    // Sound list page.
    QLineEdit *m_ziel2 = nullptr;
    QCheckBox *m_playsound = nullptr, *m_loopsound = nullptr, *m_playmusic = nullptr,
              *m_checkBox5 = nullptr;
};

} // namespace mb
