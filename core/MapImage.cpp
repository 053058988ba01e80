#include "core/MapImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

MapImage::MapImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setContentsMargins(0, 0, 0, 0);
}

void MapImage::Show(const Picture& picture) {
    picture_ = &picture;
    setFixedSize(picture.Width(), picture.Height());
    update();
}

void MapImage::paintEvent(QPaintEvent* event) {
    if (!picture_ || picture_->IsEmpty()) return;
    // The picture's buffer as an image, borrowed for this paint only: its rows
    // follow one another with no gap, each pixel 0xFFRRGGBB as RGB32 keeps it.
    const QImage pixels(reinterpret_cast<const uchar*>(picture_->Bits()), picture_->Width(), picture_->Height(),
                        qsizetype(picture_->Width()) * qsizetype(sizeof(Picture::Pixel)), QImage::Format_RGB32);
    QPainter painter(this);
    const QRect dirty = event->rect() & pixels.rect();
    painter.drawImage(dirty.topLeft(), pixels, dirty);
}

void MapImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (rect().contains(p)) emit MouseMove(p.x(), p.y());
    QWidget::mouseMoveEvent(event);
}

void MapImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (rect().contains(p)) emit MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    QWidget::mousePressEvent(event);
}
