#include "ui/panel.h"

#include <QEvent>
#include <QPainter>

namespace torvik {

Panel::Panel(QWidget* parent, Bevel bevel, int bevelWidth)
    : QWidget(parent), bevel_(bevel), bevelWidth_(bevelWidth), textColor_(palette().color(QPalette::WindowText))
{
    setAutoFillBackground(true);
    const int margin = BevelWidth();
    setContentsMargins(margin, margin, margin, margin);
}

void Panel::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void Panel::SetTextColor(const QColor& color)
{
    textColor_ = color;
    update();
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (bevel_ == Bevel::Raised) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        for (int i = 0; i < bevelWidth_; ++i) {
            const QRect edge = rect().adjusted(i, i, -i - 1, -i - 1);
            painter.setPen(light);
            painter.drawLine(edge.topLeft(), edge.topRight());
            painter.drawLine(edge.topLeft(), edge.bottomLeft());
            painter.setPen(dark);
            painter.drawLine(edge.bottomLeft(), edge.bottomRight());
            painter.drawLine(edge.topRight(), edge.bottomRight());
        }
    }
    if (!caption_.isEmpty()) {
        painter.setPen(textColor_);
        painter.setFont(font());
        painter.drawText(contentsRect(), Qt::AlignCenter, caption_);
    }
}

RightAnchors::RightAnchors(QWidget* parent, int designWidth)
    : QObject(parent), parent_(parent), designWidth_(designWidth)
{
    parent->installEventFilter(this);
}

void RightAnchors::Add(QWidget* child)
{
    children_.emplace_back(child, designWidth_ - child->geometry().right() - 1);
}

bool RightAnchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent_ && event->type() == QEvent::Resize) {
        for (auto& [child, distance] : children_) {
            child->move(parent_->width() - distance - child->width(), child->y());
        }
    }
    return false;
}

}  // namespace torvik
