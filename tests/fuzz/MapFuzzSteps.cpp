#include "tests/fuzz/MapFuzzSteps.h"

void RunMapSteps(TGameState&, Picture& picture) {
    // Touch every pixel so that a wrong size or buffer shows up under the sanitizers.
    unsigned sum = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) sum += picture.GetPixel(x, y).r;
    (void)sum;
}
