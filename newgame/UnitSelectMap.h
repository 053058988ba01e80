#pragma once

#include <QDialog>

#include "core/Picture.h"

// "Выбор карты и количества феодалов": the map file and the number of players.
class TFormSelectMap : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectMap(QWidget* parent = nullptr);

    // The file name of the picture-open dialog OpenMap.
    void SetOpenMapFileName(const QString& path) { openMapFileName_ = path; }
    QString OpenMapFileName() const { return openMapFileName_; }

    // Reloads and checks the file named by OpenMap.
    void Initialize();

    // The picture of the last loaded map in the colours of the file.
    const Picture& MapPicture() const { return picture_; }

private:
    Picture picture_;
    QString openMapFileName_;
};
