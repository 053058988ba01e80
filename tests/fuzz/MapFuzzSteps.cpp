#include "tests/fuzz/MapFuzzSteps.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "newgame/RegionDetection.h"
#include "newgame/WorldGeneration.h"

void RunMapSteps(TGameState& s, Picture& picture) {
    if (picture.Width() != MapWidth || picture.Height() != MapHeight) return;
    // Detection, checked against the plain rescan on a copy of the picture.
    static auto* reference = new TGameState();
    Picture copy;
    copy.CopyFrom(picture);
    InitializeMap(s, picture);
    InitializeMapByRescan(*reference, copy);
    if (s.QuantityFeud != reference->QuantityFeud || std::memcmp(s.Map, reference->Map, sizeof s.Map) != 0)
        std::abort();
    for (int n = 1; n <= s.QuantityFeud && n <= MaxFeud; ++n)
        if (s.Feuds[n].PosX != reference->Feuds[n].PosX || s.Feuds[n].PosY != reference->Feuds[n].PosY) std::abort();
    if (s.QuantityFeud < 2 || s.QuantityFeud > MaxFeud) return;
    // An accepted map: the world, with starting conditions at their extremes.
    TStartingConditions start;
    start.Lennik = 1000000;
    start.Grain = INT32_MAX;
    start.Independence = 300;
    GenerateWorld(s, start);
    int32_t total = 0;
    for (int n = 1; n <= s.QuantityFeud; ++n) {
        if (s.Feuds[n].Lennik < 0 || s.Feuds[n].Lennik > s.Feuds[n].Len) std::abort();
        total += s.Feuds[n].Lennik;
    }
    for (int k = 1; k <= MaxLennik; ++k)
        if ((s.Lenniks[k].Feud != 0) != (k <= total)) std::abort();
}
