#pragma once

#include <QWidget>

class QLabel;

namespace mb {

// The small borderless wait window shown centred over the main window while a long operation
// runs (open, import, export, checking scripts): one bold panel with the step's text.
class TForm13 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm13(QWidget *owner = nullptr);

    // Shows the window with the text, centred over the owner, and paints it at once (the
    // operation that follows keeps the event loop busy).
    void showwait(const QString &text);
    void hidewait();
    QString text() const;

private:
    QWidget *m_owner;
    QLabel *m_panel;
};

} // namespace mb
