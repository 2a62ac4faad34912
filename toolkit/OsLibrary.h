#pragma once

#include <QString>

// The few operating-system calls of the library registration. On Windows they are
// GetSystemDirectoryA, LoadLibraryA, GetProcAddress and FreeLibrary; elsewhere the
// system library directory and dlopen, dlsym and dlclose. Tests put their own in place.
class OsLibraryCalls
{
public:
    virtual ~OsLibraryCalls() = default;
    // Writes the system directory into buffer and returns its length; when it does not
    // fit, writes nothing and returns the size needed; 0 on failure.
    virtual unsigned getSystemDirectory(char* buffer, unsigned size) = 0;
    virtual void* loadLibrary(const QString& path) = 0;
    virtual void* getProcAddress(void* module, const char* name) = 0;
    virtual void freeLibrary(void* module) = 0;

    static OsLibraryCalls& current();
    // Replaces the calls (null restores the real ones).
    static void setCurrent(OsLibraryCalls* calls);
};
