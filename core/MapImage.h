// An image control that shows a picture at one screen pixel per picture pixel
// and reports the mouse in picture coordinates.
#pragma once

#include <QLabel>

#include "core/Picture.h"

class MapImage : public QLabel {
    Q_OBJECT
public:
    explicit MapImage(QWidget* parent = nullptr);

    // Shows the picture; the control takes the picture's size.
    void Show(const Picture& picture);

signals:
    void MouseMove(int x, int y);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
