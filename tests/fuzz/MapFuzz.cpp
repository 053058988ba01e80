// Fuzzes what a map file goes through: loading the picture, and for a picture
// of the map's size the detection of its feuds and the world it makes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <QByteArray>

#include "core/GameState.h"
#include "core/Picture.h"
#include "tests/fuzz/MapFuzzSteps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* state = new TGameState();
    Picture picture;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!picture.LoadFromData(bytes)) return 0;
    RunMapSteps(*state, picture);
    return 0;
}
