#include "app/tform13.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace mb {

TForm13::TForm13(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_owner(owner)
{
    setObjectName(QStringLiteral("Form13"));
    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    m_panel = new QLabel;
    m_panel->setAlignment(Qt::AlignCenter);
    QFont bold = m_panel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_panel->setFont(bold);
    m_panel->setMinimumSize(280, 60);
    auto *inner = new QVBoxLayout(frame);
    inner->addWidget(m_panel);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

void TForm13::showwait(const QString &text)
{
    m_panel->setText(text);
    adjustSize();
    const QRect area = m_owner && m_owner->isVisible() ? m_owner->frameGeometry()
                       : QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry()
                                                      : QRect(0, 0, 800, 600);
    move(area.center() - rect().center());
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm13::hidewait()
{
    hide();
}

QString TForm13::text() const
{
    return m_panel->text();
}

} // namespace mb
