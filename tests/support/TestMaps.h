// Map pictures built in tests: a white canvas with black border lines.
#pragma once

#include <vector>

#include <QString>

#include "core/Picture.h"

// A 400 x 200 white picture.
Picture BlankMap(Rgb fill = Colors::White);
// Black vertical and horizontal lines, one pixel wide unless width says otherwise.
void VerticalLine(Picture& p, int x, int width = 1, Rgb c = Colors::Black);
void HorizontalLine(Picture& p, int y, int width = 1, Rgb c = Colors::Black);
void FillRect(Picture& p, int x, int y, int w, int h, Rgb c);
// A map of n vertical white strips (n = 1..20) split by one-pixel black lines.
Picture StripMap(int n);
// Every map that ships with the game, as loaded from its file.
std::vector<Picture> BundledMapPictures();
// Writes the picture as a 24-bit BMP file.
bool SaveBmp24(const Picture& p, const QString& path);
