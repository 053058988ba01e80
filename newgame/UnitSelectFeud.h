#pragma once

#include <QDialog>

#include "core/Picture.h"
#include "newgame/PlayerSeats.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class MapImage;

// The feud and status choice of one player: hovering shows a feud's name, its
// feudal and its fiefs, a left click picks a free feud, "ОК" takes it with the
// status chosen. It closes with Accepted only through "ОК" after a pick; its
// close box gives Rejected, which abandons the new game.
class TFormSelectFeud : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectFeud(QWidget* parent = nullptr);

    // The map dialog's OK hands over its own copy of the map picture and
    // enables the "Король" choice for the new game.
    void SetMapPicture(const Picture& picture);
    void EnableKing();

    // The dialog's copy of the map with the marks of this game's seats.
    const Picture& MapPicture() const { return picture_; }
    // The status now checked.
    TSeatStatus CheckedStatus() const;

    MapImage* ImageMap = nullptr;
    QLabel* LFeud = nullptr;
    QGroupBox* gbInformation = nullptr;
    QLabel* LName = nullptr;
    QLabel* LFeudal = nullptr;
    QLabel* LLennikMax = nullptr;
    QGroupBox* gbStatus = nullptr;
    QRadioButton* rbKing = nullptr;
    QRadioButton* rbVassal = nullptr;
    QRadioButton* rbIndependent = nullptr;
    QPushButton* btnOk = nullptr;

public slots:
    void ImageMapMouseMove(int x, int y);
    void ImageMapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void btnOkClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Picture picture_;
};
