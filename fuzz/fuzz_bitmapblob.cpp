// Any bytes stored as a question's picture: a picture or none, never a crash.
#include "gui/BitmapBlob.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray blob(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const QImage image = readBitmapBlob(blob, &error);
    if (image.isNull() == error.isEmpty()) {
        __builtin_trap(); // a failure always says why, a picture never does
    }
    return 0;
}
