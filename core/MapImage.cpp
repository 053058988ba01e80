#include "core/MapImage.h"

#include <QMouseEvent>
#include <QPixmap>

MapImage::MapImage(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setContentsMargins(0, 0, 0, 0);
}

void MapImage::Show(const Picture& picture) {
    setPixmap(QPixmap::fromImage(picture.ToImage()));
    setFixedSize(picture.Width(), picture.Height());
}

void MapImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (rect().contains(p)) emit MouseMove(p.x(), p.y());
    QLabel::mouseMoveEvent(event);
}

void MapImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (rect().contains(p)) emit MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    QLabel::mousePressEvent(event);
}
