#pragma once

#include <QDialog>

#include "core/Picture.h"

// The feud and status choice of one player.
class TFormSelectFeud : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectFeud(QWidget* parent = nullptr);

    // The map dialog's OK hands over its own copy of the map picture and
    // enables the "Король" choice for the new game.
    void SetMapPicture(const Picture& picture);
    void EnableKing();
};
