#pragma once

#include "assets/assetbox.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;

namespace mb {

class MarkerWidget;

// The mouse cursor editor: the project's ten cursors of up to twenty-five frames, each with a
// speed, a click point (a marker over the three times larger view) and the command it stands for
// (cursors 1 and 10 keep theirs); the right-click mode and the mouse wheel. The current cursor
// plays all the time in a 32 x 32 view.
class Tmausbox : public AssetBox
{
    Q_OBJECT
public:
    Tmausbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
             QWidget *parent = nullptr);
    QComboBox *commandBox() const { return m_command; }
    QLabel *commandLabel() const { return m_commandLabel; }
    MarkerWidget *clickMarker() const { return m_marker; }
    QLabel *cursorView() const { return m_view; }
    QTimer *cursorTimer() const { return m_timer; }
    int cursorFrame() const { return m_viewFrame; }
    void dragClickMarker(QPoint topLeft);

protected:
    void showFields() override;

private:
    void stepCursor();

    QComboBox *m_command;
    QLabel *m_commandLabel;
    QLabel *m_view;
    QTimer *m_timer;
    QButtonGroup *m_rightClick;
    QCheckBox *m_wheel;
    MarkerWidget *m_marker;
    int m_viewFrame = 1;
    int m_viewLength = 0;
    int m_viewCursor = 0;
    int m_viewSpeed = 0;
};

} // namespace mb
