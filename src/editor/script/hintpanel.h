#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace mb {

struct CaretHint;

// The panel under the script: "Info :" with the hint for the argument at the caret, and two lists
// of names that fit it (left and right, each half the panel's width). Clicking a name chooses it.
class HintPanel : public QWidget
{
    Q_OBJECT
public:
    explicit HintPanel(QWidget *parent = nullptr);

    // Shows the hint; the lists are emptied and enabled only when the hint offers names.
    void showHint(const CaretHint &hint);
    // Empties and disables both lists (after a choice).
    void clearChoices();

    QLabel *hintLabel() const { return m_hint; }
    QListWidget *leftList() const { return m_left; }
    QListWidget *rightList() const { return m_right; }
    // The first name of the left list, or empty.
    QString firstLeft() const;

signals:
    void chosen(const QString &entry);

private:
    QLabel *m_hint = nullptr;
    QListWidget *m_left = nullptr;
    QListWidget *m_right = nullptr;
};

} // namespace mb
