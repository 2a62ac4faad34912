// Any bytes as the clock clip: a clip whose frames decode, or an error, never a crash.
#include "gui/AviClip.h"
#include "gui/Error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const AviClip clip =
            AviClip::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        if (clip.frameCount() < 1 || clip.frameInterval() <= 0) {
            __builtin_trap();
        }
        for (int i = 0; i < std::min(clip.frameCount(), 8); ++i) {
            clip.frame(i);
        }
    } catch (const ToolkitError&) {
    }
    return 0;
}
