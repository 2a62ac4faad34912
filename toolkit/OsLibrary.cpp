#include "toolkit/OsLibrary.h"

#include <QFile>
#include <cstring>
#include <dlfcn.h>

namespace {

class SystemCalls : public OsLibraryCalls
{
public:
    unsigned getSystemDirectory(char* buffer, unsigned size) override
    {
        // The system's library directory: where the C library was loaded from.
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&std::strlen), &info) == 0 || !info.dli_fname) {
            return 0;
        }
        const char* slash = std::strrchr(info.dli_fname, '/');
        if (!slash) {
            return 0;
        }
        const size_t length = size_t(slash - info.dli_fname);
        if (length + 1 > size) {
            return unsigned(length + 1);
        }
        std::memcpy(buffer, info.dli_fname, length);
        buffer[length] = '\0';
        return unsigned(length);
    }

    void* loadLibrary(const QString& path) override
    {
        return dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    }

    void* getProcAddress(void* module, const char* name) override { return dlsym(module, name); }

    void freeLibrary(void* module) override { dlclose(module); }
};

SystemCalls g_system;
OsLibraryCalls* g_current = &g_system;

} // namespace

OsLibraryCalls& OsLibraryCalls::current()
{
    return *g_current;
}

void OsLibraryCalls::setCurrent(OsLibraryCalls* calls)
{
    g_current = calls ? calls : &g_system;
}
