// "Выбор карты и количества феодалов": the first dialog of a new game. The
// player picks a map file and the number of human players; the file is
// checked and its feuds found as soon as it is chosen.
#pragma once

#include <QDialog>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Picture.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class MapImage;

class TFormSelectMap : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectMap(QWidget* parent = nullptr);

    // The file name of the picture-open dialog OpenMap.
    void SetOpenMapFileName(const QString& path) { openMapFileName_ = path; }
    QString OpenMapFileName() const { return openMapFileName_; }

    // Reloads and checks the file named by OpenMap.
    void Initialize();
    // Region detection on the loaded picture: fills the game's map grid,
    // feud count and anchors.
    void InitializeMap();
    // "<" is usable except at 1, ">" except at the number of feuds.
    void TestPosition();

    // The picture of the last loaded map in the colours of the file.
    const Picture& MapPicture() const { return picture_; }
    // True when that picture is the one whose feuds make the grid of s (a
    // game loaded from a file may come from another map).
    bool IsPictureOf(const TGameState& s) const;
    // A number that changes whenever detection makes another grid of the
    // picture, unique for the program's run; 0 while no grid is known.
    uint64_t GridStamp() const { return gridKnown_ ? gridStamp_ : 0; }
    // True while the current file is an accepted map.
    bool MapAccepted() const { return mapAccepted_; }

    QLabel* LabelMap = nullptr;  // "Карта:"
    QLabel* LNameMap = nullptr;
    MapImage* ImageMap = nullptr;
    QGroupBox* gbGamer = nullptr;
    QLabel* LabelGamer = nullptr;  // "Игроков:"
    QSlider* TBQuantityGamer = nullptr;
    QLabel* LQG = nullptr;
    QToolButton* sbDown = nullptr;
    QToolButton* sbUp = nullptr;
    QPushButton* ButtonSelectMap = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btn = nullptr;

public slots:
    void ButtonSelectMapClick();
    void TBQuantityGamerChange();
    void sbDownClick();
    void sbUpClick();
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The dialog without a usable map: no preview, no players, no OK.
    void ShowNoMap();
    // The OK's world generation: the starting conditions from the settings
    // store, the random source seeded from the clock, the world of the
    // accepted map made in the game. False (after reporting) when a setting
    // cannot be read; nothing is generated then.
    bool GenerateWorldAtOk(Messages& msgs);

    Picture picture_;    // as the file holds it: the preview and the base of the game map
    QString openMapFileName_;
    bool mapAccepted_ = false;
    uint8_t grid_[MapHeight][MapWidth] = {};  // the grid detection made of picture_
    bool gridKnown_ = false;
    uint64_t gridStamp_ = 0;
};
