#include "toolkit/OsLibrary.h"

#include <QFile>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

class SystemCalls : public OsLibraryCalls
{
public:
    unsigned getSystemDirectory(char* buffer, unsigned size) override
    {
#ifdef Q_OS_WIN
        return GetSystemDirectoryA(buffer, size);
#else
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
#endif
    }

    void* loadLibrary(const QString& path) override
    {
#ifdef Q_OS_WIN
        return LoadLibraryA(path.toLocal8Bit().constData());
#else
        return dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
#endif
    }

    void* getProcAddress(void* module, const char* name) override
    {
#ifdef Q_OS_WIN
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
        return dlsym(module, name);
#endif
    }

    void freeLibrary(void* module) override
    {
#ifdef Q_OS_WIN
        FreeLibrary(static_cast<HMODULE>(module));
#else
        dlclose(module);
#endif
    }
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
