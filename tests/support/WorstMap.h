// A hard map for region detection: 20 regions of long, winding, interleaved
// shapes, with pure-yellow and pure-blue pixels scattered over it.
#pragma once

#include "core/Picture.h"

// Ten bands of 20 rows, each shared by two regions: one hangs diagonal teeth
// two pixels wide from a spine along the band's top, the other raises teeth
// between them from a spine along its bottom, so every inner row is cut into
// about a hundred runs and the second region's teeth meet only at its spine.
// Pure-yellow pixels (they join feud 1) and pure-blue ones (holes) lie on the
// outer rows of the spines, where they cut nothing apart. Exactly 20 feuds.
Picture WorstCaseMap();
