#include "toolkit/AppDir.h"

#include "data/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString g_directory;
QString g_program;

// The first of the folders that holds the file; the application folder's own path when
// none does, so that what fails names the file the learner would look for.
template <class Join> QString firstExisting(const Join& join)
{
    const QString own = join(g_directory);
    if (QFileInfo::exists(own)) {
        return own;
    }
    for (const QString& folder : installedDirectories()) {
        const QString candidate = join(folder);
        if (QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
    return own;
}
} // namespace

QString applicationDirectory()
{
    return g_directory;
}

void setApplicationDirectory(const QString& directory)
{
    g_directory = directory;
    g_program = directory;
}

QString programDirectory()
{
    return g_program;
}

void setProgramDirectory(const QString& directory)
{
    g_program = directory;
}

QStringList installedDirectories()
{
    QStringList folders;
    if (g_program.isEmpty()) {
        return folders;
    }
    if (g_program != g_directory) {
        folders << g_program;
    }
    const QString library = QStringLiteral("/lib/taviro");
    const QString clean = QDir::cleanPath(g_program);
    if (clean.endsWith(library)) {
        folders << clean.left(clean.size() - library.size()) + QStringLiteral("/share/taviro");
    }
    return folders;
}

QString appFile(const QString& name)
{
    return firstExisting([&](const QString& folder) { return joinPath(folder, name); });
}

QString programFile(const QString& name)
{
    return joinPath(g_program, name);
}

QString appRelativeFile(const QString& storedPath)
{
    const QString relative = nativeRelativePath(storedPath);
    return firstExisting([&](const QString& folder) { return folder + relative; });
}
