// "Настройка игры ": the starting conditions of a new game (the current set
// of the settings store), edited row by row.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TFormSetUp : public QDialog {
    Q_OBJECT
public:
    explicit TFormSetUp(QWidget* parent = nullptr);

    QGroupBox* gbStart = nullptr;  // " Стартовые условия "
    QLabel* LabelLennik = nullptr;
    QLabel* LabelGrain = nullptr;
    QLabel* LabelPeasant = nullptr;
    QLabel* LabelCow = nullptr;
    QLabel* LabelHorse = nullptr;
    QLabel* LabelIndependence = nullptr;
    QLineEdit* EditLennik = nullptr;
    QLineEdit* EditGrain = nullptr;
    QLineEdit* EditPeasant = nullptr;
    QLineEdit* EditCow = nullptr;
    QLineEdit* EditHorse = nullptr;
    QSpinBox* seIndependence = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // Each reads or writes the six rows top to bottom and stops at the first
    // failure, reported in an error box; true when every row went through.
    bool LoadFromReestr();
    bool SaveToReestr();

public slots:
    void btnDefaultClick();
    void btnApplyClick();
    void btnOkClick();
    void btnCancelClick();

protected:
    // Escape presses "Отмена"; the close box only closes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    // Puts six integers read from the store into the rows.
    bool LoadRows(const QString& prefix);
};
