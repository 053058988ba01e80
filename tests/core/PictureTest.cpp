#include <gtest/gtest.h>

#include "core/Picture.h"

namespace {

TEST(PictureTest, FillStopsAtOtherColoursAndCorners) {
    Picture p(5, 5, Colors::White);
    // Two white areas touching only at a corner: (0,0)-(1,1) block and (2,2)-(4,4) block.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if ((x < 2) != (y < 2)) p.SetPixel(x, y, Colors::Black);
    p.SurfaceFill(0, 0, Colors::White, Colors::Red);
    EXPECT_EQ(p.GetPixel(1, 1), Colors::Red);
    EXPECT_EQ(p.GetPixel(2, 2), Colors::White);
    EXPECT_EQ(p.GetPixel(4, 4), Colors::White);
    EXPECT_EQ(p.GetPixel(2, 0), Colors::Black);
}

TEST(PictureTest, FillSeededOnAnotherColourOrWithSameColourChangesNothing) {
    Picture p(4, 4, Colors::White);
    p.SetPixel(1, 1, Colors::Black);
    p.SurfaceFill(1, 1, Colors::White, Colors::Red);
    p.SurfaceFill(0, 0, Colors::White, Colors::White);
    p.SurfaceFill(-1, 0, Colors::White, Colors::Red);
    p.SurfaceFill(4, 0, Colors::White, Colors::Red);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(p.GetPixel(x, y), (x == 1 && y == 1) ? Colors::Black : Colors::White);
}

TEST(PictureTest, FillCoversAFullMapAndASpiral) {
    Picture full(400, 200, Colors::White);
    full.SurfaceFill(399, 199, Colors::White, Colors::Yellow);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) ASSERT_EQ(full.GetPixel(x, y), Colors::Yellow);

    // A one-pixel corridor winding through the whole picture.
    Picture maze(400, 200, Colors::Black);
    for (int y = 0; y < 200; y += 2) {
        for (int x = 0; x < 400; ++x) maze.SetPixel(x, y, Colors::White);
        if (y + 1 < 200) maze.SetPixel((y / 2) % 2 == 0 ? 399 : 0, y + 1, Colors::White);
    }
    maze.SurfaceFill(0, 0, Colors::White, Colors::Blue);
    EXPECT_EQ(maze.GetPixel(0, 198), Colors::Blue);
    EXPECT_EQ(maze.GetPixel(200, 100), Colors::Blue);
}

TEST(PictureTest, CopyIsIndependent) {
    Picture a(3, 2, Colors::White);
    Picture b;
    b.CopyFrom(a);
    b.SetPixel(0, 0, Colors::Red);
    a.SetPixel(2, 1, Colors::Navy);
    EXPECT_EQ(a.GetPixel(0, 0), Colors::White);
    EXPECT_EQ(b.GetPixel(2, 1), Colors::White);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
}

TEST(PictureTest, ToImageKeepsExactColoursAndLaterChangesOut) {
    Picture p(2, 1);
    p.SetPixel(0, 0, Rgb{1, 2, 3});
    p.SetPixel(1, 0, Colors::Purple);
    const QImage image = p.ToImage();
    EXPECT_EQ(image.format(), QImage::Format_RGB32);  // shown as it is, with no conversion
    p.SetPixel(0, 0, Colors::Navy);
    p.FillRun(0, 0, 2, Colors::Lime);
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(128, 0, 128));
    EXPECT_EQ(p.GetPixel(1, 0), Colors::Lime);
}

// A copy and a move both hand the stamp to the picture that now holds the
// pixels; a picture whose pixels changed, or were moved away, names them anew.
TEST(PictureTest, CopyAndMoveKeepTheStampWithThePixels) {
    Picture a(3, 2, Colors::Red);
    const uint64_t red = a.Stamp();
    Picture copy = a;
    EXPECT_EQ(copy.Stamp(), red);
    copy.SetPixel(0, 0, Colors::Navy);  // the copy's own pixels from here on
    EXPECT_NE(copy.Stamp(), red);
    EXPECT_EQ(a.Stamp(), red);
    EXPECT_EQ(a.GetPixel(0, 0), Colors::Red);

    Picture moved = std::move(a);
    EXPECT_EQ(moved.Stamp(), red);
    EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move): what a move leaves is the point
    EXPECT_NE(a.Stamp(), red);
    Picture assigned(1, 1);
    assigned = std::move(moved);
    EXPECT_EQ(assigned.Stamp(), red);
    EXPECT_NE(moved.Stamp(), red);
    EXPECT_NE(moved.Stamp(), a.Stamp());
    EXPECT_EQ(assigned.GetPixel(2, 1), Colors::Red);
}

}  // namespace
