#include "ui/file_copy_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <cmath>

namespace torvik {
namespace {

void DrawFolder(QPainter& painter, const QRectF& box)
{
    const QColor edge(150, 110, 20);
    QPainterPath back;
    back.moveTo(box.left(), box.top() + 6);
    back.lineTo(box.left() + box.width() * 0.35, box.top() + 6);
    back.lineTo(box.left() + box.width() * 0.42, box.top());
    back.lineTo(box.right(), box.top());
    back.lineTo(box.right(), box.bottom());
    back.lineTo(box.left(), box.bottom());
    back.closeSubpath();
    painter.setPen(edge);
    painter.setBrush(QColor(222, 178, 72));
    painter.drawPath(back);
    painter.setBrush(QColor(248, 212, 110));
    painter.drawRect(QRectF(box.left(), box.top() + 10, box.width(), box.height() - 10));
}

void DrawSheet(QPainter& painter, const QPointF& centre)
{
    const QRectF sheet(centre.x() - 8, centre.y() - 10, 16, 20);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QColor(120, 140, 200));
    for (int line = 0; line < 4; ++line) {
        const double y = sheet.top() + 5 + line * 4;
        painter.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
    }
}

}  // namespace

FileCopyAnimation::FileCopyAnimation(QWidget* parent) : QWidget(parent) {}

void FileCopyAnimation::Start()
{
    timer_.start(kFrameMilliseconds, this);
}

void FileCopyAnimation::Stop()
{
    timer_.stop();
}

void FileCopyAnimation::SetFrame(int frame)
{
    frame_ = frame % (kStopFrame + 1);
    update();
}

void FileCopyAnimation::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId()) {
        SetFrame(frame_ + 1);
    }
}

void FileCopyAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF source(8, height() - 40, 44, 34);
    const QRectF target(width() - 52, height() - 40, 44, 34);
    DrawFolder(painter, source);
    DrawFolder(painter, target);
    // The sheet rises out of the source folder, arcs over and drops into the target.
    const double progress = static_cast<double>(frame_) / kStopFrame;
    const double x = source.center().x() + (target.center().x() - source.center().x()) * progress;
    const double ground = source.top() + 4;
    const double y = ground - std::sin(progress * M_PI) * (ground - 12);
    DrawSheet(painter, QPointF(x, y));
}

}  // namespace torvik
