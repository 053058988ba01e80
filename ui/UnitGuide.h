// "Руководство": the player's guide in a window of its own, beside the game.
// The guide travels inside the program, made from docs/guide.md and its
// pictures when the program is built.
#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

class TFormGuide : public QWidget {
    Q_OBJECT
public:
    explicit TFormGuide(QWidget* parent = nullptr);

    // Where the guide lies among the program's resources.
    static const char* const Source;

    QTextBrowser* BrowserGuide = nullptr;
    QPushButton* btnBack = nullptr;      // "Назад": to where the last link was followed
    QPushButton* btnContents = nullptr;  // "Содержание": to the guide's beginning

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Opens the guide window, made at its first opening, and brings it to the
// front. It belongs to no other window: it stays usable while the game window
// runs, and the game stays playable while it is open.
void ShowGuide();
