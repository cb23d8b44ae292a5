#pragma once
// The font window: the project's font table (dense, at most 99 fonts) with every field of the
// selected font and a live sample. Every change is written into the model at once.


#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace mb {

class Asker;

class EditorSettings;
class FontPreview;
class MessageCatalog;
class ProjectModel;
class ProjectSession;

class Tfontwindow : public QDialog
{
    Q_OBJECT
public:
    Tfontwindow(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                Asker &asker, QWidget *parent = nullptr);

    // Shows the model's fonts, keeping the selection where it can.
    void load();

    // The list line of a font: number + " - " + name + " (" + size + ")".
    static QString listLine(int number, const QString &name, int size);

    void button1Click(); // Add
    void button2Click(); // Remove
    void moveUp();
    void moveDown();

    QListWidget *list() const { return m_listBox1; }
    QPushButton *addButton() const { return m_button1; }
    QPushButton *removeButton() const { return m_button2; }
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }
    QComboBox *fontBox() const { return m_fontbox; }
    QSpinBox *sizeBox() const { return m_size; }
    QCheckBox *boldBox() const { return m_bold; }
    QComboBox *styleBox() const { return m_style; }
    QSlider *fadeBar() const { return m_fadebar; }
    QLabel *fadeLabel() const { return m_fadeLabel; }
    FontPreview *preview() const { return m_preview; }

    // How the window tells why it refuses (a modal box unless a test replaces it).

protected:
    void showEvent(QShowEvent *e) override;

private:
    void select(int row);
    void showFields();
    // Stores the fields into the selected font; `field` names the control (its edits merge).
    void fieldChanged(int field);
    const ProjectModel &model() const;
    void swap(int a, int b);

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    Asker &m_asker;
    bool m_loading = false;
    bool m_editing = false; // the window's own edit is being written
    QListWidget *m_listBox1 = nullptr;
    QPushButton *m_button1 = nullptr, *m_button2 = nullptr, *m_ok = nullptr;
    QToolButton *m_up = nullptr, *m_down = nullptr;
    QComboBox *m_fontbox = nullptr, *m_style = nullptr, *m_schatten = nullptr, *m_fill = nullptr,
              *m_zeichensatz = nullptr;
    QSpinBox *m_size = nullptr;
    QCheckBox *m_bold = nullptr, *m_kursiv = nullptr;
    QSlider *m_fadebar = nullptr;
    QLabel *m_fadeLabel = nullptr;
    QWidget *m_fields = nullptr;
    FontPreview *m_preview = nullptr;
};

} // namespace mb
