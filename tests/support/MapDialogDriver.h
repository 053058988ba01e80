// Choosing a map file in the map dialog as a player would.
#pragma once

#include <QString>
#include <QStringList>

class TFormSelectMap;

// Presses "Выбрать" with the file dialog answering path, answers every box
// that comes up with OK (each must be an error box) and returns their texts.
// The file dialog's initial path and filter are stored where asked.
QStringList ChooseMapFile(TFormSelectMap& form, const QString& path, QString* initial = nullptr,
                          QString* filter = nullptr);
