#include "data/Paths.h"

#include <QDir>
#include <QFile>
#include <filesystem>

QString joinPath(const QString& directory, const QString& name)
{
    return directory + QDir::separator() + name;
}

QString nativeRelativePath(const QString& storedPath)
{
    QString p = storedPath;
    p.replace(QLatin1Char('\\'), QDir::separator());
    p.replace(QLatin1Char('/'), QDir::separator());
    return p;
}

QString directoryOfExecutable(const QString& executablePath)
{
    const QString native = QDir::toNativeSeparators(executablePath);
    const qsizetype cut = native.lastIndexOf(QDir::separator());
    if (cut < 0) {
        return QString();
    }
    QString dir = native.left(cut);
    // A root keeps its separator: "/" here, "C:\" on Windows.
    if (dir.isEmpty() || (dir.size() == 2 && dir.at(1) == QLatin1Char(':'))) {
        dir += QDir::separator();
    }
    return dir;
}

QString executablePathBeforeApplication()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QString() : QFile::decodeName(path.c_str());
}
