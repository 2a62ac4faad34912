// Any text as a connection string: settings or an error text, never a crash. The same
// text as a folder's path: the bank's connection string carries it back whole.
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "data/Paths.h"

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

    ConnectionSettings back;
    if (!parseConnectionString(bankConnectionString(text), &back, &error) ||
        back.dataSource != joinPath(text, QStringLiteral("Drive.mdb")) ||
        back.password != TDM::kPassword) {
        __builtin_trap();
    }
    const QString bare = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                         connectionStringValue(text);
    if (!text.isEmpty() &&
        (!parseConnectionString(bare, &back, &error) || back.dataSource != text)) {
        __builtin_trap();
    }
    return 0;
}
