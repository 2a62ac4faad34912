// Any text as a connection string: settings or an error text, never a crash.
#include "data/Connection.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ConnectionSettings settings;
    QString error;
    if (parseConnectionString(text, &settings, &error)) {
        if (settings.dataSource.isEmpty()) {
            __builtin_trap();
        }
        QByteArray key;
        passwordKey(settings.password, &key, &error);
    } else if (error.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
