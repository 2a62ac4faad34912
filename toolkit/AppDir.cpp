#include "toolkit/AppDir.h"

#include "data/Paths.h"

namespace {
QString g_directory;
}

QString applicationDirectory()
{
    return g_directory;
}

void setApplicationDirectory(const QString& directory)
{
    g_directory = directory;
}

QString appFile(const QString& name)
{
    return joinPath(g_directory, name);
}

QString appRelativeFile(const QString& storedPath)
{
    return g_directory + nativeRelativePath(storedPath);
}
