// An image control that shows a picture at one screen pixel per picture pixel
// and reports the mouse in picture coordinates.
#pragma once

#include <QWidget>

#include "core/Picture.h"

class MapImage : public QWidget {
    Q_OBJECT
public:
    explicit MapImage(QWidget* parent = nullptr);

    // Shows the picture; the control takes the picture's size. The control
    // paints straight from the picture's own pixels, converting and copying
    // none of them: the picture must outlive the control (or be replaced by
    // another Show), and what it holds when the control paints is what shows.
    void Show(const Picture& picture);
    // The picture shown; nullptr before the first Show.
    const Picture* Shown() const { return picture_; }

signals:
    void MouseMove(int x, int y);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Picture* picture_ = nullptr;
};
