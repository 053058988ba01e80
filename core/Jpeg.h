// JPEG decoding through libjpeg, for the one JPEG picture of the game.
#pragma once

#include <QImage>
#include <QString>

// Decodes a baseline or progressive JPEG file into an RGB image. Returns a
// null image and sets *error on failure.
QImage DecodeJpegFile(const QString& path, QString* error = nullptr);
QImage DecodeJpegData(const QByteArray& bytes, QString* error = nullptr);
