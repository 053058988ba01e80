// The pictures that ship with the game, read the way the game reads them.
#include <algorithm>
#include <cmath>
#include <set>

#include <QFile>
#include <QImage>
#include <QMap>
#include <QTextStream>

#include <gtest/gtest.h>

#include "core/DataPath.h"
#include "core/Jpeg.h"
#include "core/Picture.h"

namespace {

// Relative luminance of an sRGB colour, 0..1.
double Luminance(Rgb c) {
    auto lin = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double ContrastWithRed(Rgb background) {
    const double red = Luminance(Colors::Red), bg = Luminance(background);
    return (std::max(red, bg) + 0.05) / (std::min(red, bg) + 0.05);
}

int DistinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return int(colours.size());
}

TEST(BundledPicturesTest, StartMenuPictureFillsTheWindowAndIsAPainting) {
    Picture p;
    QString error;
    ASSERT_TRUE(p.Load(DataFilePath(QStringLiteral("pictures/startmenu.bmp")), &error)) << error.toStdString();
    EXPECT_EQ(p.Width(), 512);
    EXPECT_EQ(p.Height(), 335);
    // A picture, not a flat fill: thousands of colours.
    EXPECT_GT(DistinctColours(p.ToImage()), 5000);
}

TEST(BundledPicturesTest, RedMenuCaptionsReadAgainstThePicture) {
    Picture p;
    ASSERT_TRUE(p.Load(DataFilePath(QStringLiteral("pictures/startmenu.bmp"))));
    ASSERT_EQ(p.Width(), 512);
    ASSERT_EQ(p.Height(), 335);
    // The five buttons: 105 x 25 at x = 400, tops 176 + 32k.
    int poor = 0, total = 0;
    for (int k = 0; k < 5; ++k) {
        double sum = 0;
        for (int y = 176 + 32 * k; y < 201 + 32 * k; ++y)
            for (int x = 400; x < 505; ++x) {
                const double c = ContrastWithRed(p.GetPixel(x, y));
                sum += c;
                ++total;
                if (c < 3.0) ++poor;
            }
        EXPECT_GT(sum / (105 * 25), 4.5) << "button " << k;
    }
    EXPECT_LT(poor, total / 100) << "pixels too light for red text";
}

TEST(BundledPicturesTest, AuthorPictureDecodesWithTheGamesJpegReader) {
    QString error;
    const QImage image = DecodeJpegFile(DataFilePath(QStringLiteral("pictures/author.jpg")), &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    // Shown in a 297 x 313 area, scaled proportionally: never enlarged, and
    // of the area's shape so that it fills it.
    EXPECT_GE(image.width(), 297);
    EXPECT_GE(image.height(), 313);
    EXPECT_NEAR(double(image.width()) / image.height(), 297.0 / 313.0, 0.01);
    EXPECT_GT(DistinctColours(image), 5000);
}

TEST(BundledPicturesTest, IconIsASquareEmblemOnATransparentGround) {
    QImage icon(DataFilePath(QStringLiteral("pictures/marchfell.png")));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(256, 256));
    ASSERT_TRUE(icon.hasAlphaChannel());
    for (QPoint corner : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255)})
        EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(qAlpha(icon.pixel(128, 140)), 255);
    // Nothing cut off at the edges.
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(qAlpha(icon.pixel(i, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(i, 255)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(0, i)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(255, i)), 0);
    }
}

TEST(BundledPicturesTest, DesktopEntryStartsTheGameWithItsIcon) {
    QFile file(QStringLiteral(MARCHFELL_SOURCE_ASSETS "/marchfell.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    ASSERT_EQ(in.readLine(), QStringLiteral("[Desktop Entry]"));
    // The entry's own keys by name, those of its actions as "action/key".
    QMap<QString, QString> keys;
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(QStringLiteral("[Desktop Action ")) && line.endsWith(u']')) {
            group = line.mid(16, line.size() - 17) + u'/';
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        ASSERT_GT(eq, 0) << line.toStdString();
        const QString key = group + line.left(eq);
        EXPECT_FALSE(keys.contains(key)) << "repeated " << line.toStdString();
        keys.insert(key, line.mid(eq + 1));
    }
    EXPECT_EQ(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(keys.value(QStringLiteral("Name")), QStringLiteral("Marchfell"));
    EXPECT_EQ(keys.value(QStringLiteral("Exec")), QStringLiteral("marchfell %f"));  // a saved game to open, if any
    EXPECT_EQ(keys.value(QStringLiteral("MimeType")), QStringLiteral("application/x-marchfell-save;"));
    EXPECT_EQ(keys.value(QStringLiteral("Icon")), QStringLiteral("marchfell"));
    EXPECT_EQ(keys.value(QStringLiteral("Categories")), QStringLiteral("Game;StrategyGame;"));
    // The launcher's "Руководство" opens the guide without a game.
    EXPECT_EQ(keys.value(QStringLiteral("Actions")), QStringLiteral("guide;"));
    EXPECT_EQ(keys.value(QStringLiteral("guide/Name")), QStringLiteral("Руководство"));
    EXPECT_EQ(keys.value(QStringLiteral("guide/Exec")), QStringLiteral("marchfell --guide"));
    const QString comment = keys.value(QStringLiteral("Comment"));
    EXPECT_TRUE(std::any_of(comment.begin(), comment.end(),
                            [](QChar c) { return c.script() == QChar::Script_Cyrillic; }));
}

}  // namespace
