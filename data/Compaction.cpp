#include "data/Compaction.h"

#include "data/DBEngine.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "data/Swallowed.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The copy is named after the path without blanks and control characters at its ends.
QString trimmedPath(const QString& path)
{
    qsizetype first = 0;
    qsizetype last = path.size();
    while (first < last && path[first].unicode() <= u' ') {
        ++first;
    }
    while (last > first && path[last - 1].unicode() <= u' ') {
        --last;
    }
    return path.mid(first, last - first);
}

void sync(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) {
        throw DatabaseError(QStringLiteral("无法打开“%1”。").arg(path));
    }
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0) {
        throw DatabaseError(QStringLiteral("无法写入“%1”。").arg(path));
    }
}

// Puts the copy in the file's place in one step: at every moment, whatever happens,
// the name holds either the old database or the whole copy.
void replaceFile(const QString& copy, const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    sync(copy, 0);
    // The engine removed the old file's WAL; that removal must be on the disk before the
    // rename is, or a power cut could pair the old WAL with the new file.
    sync(folder, O_DIRECTORY);
    if (QFileInfo::exists(path + QStringLiteral("-wal"))) {
        // Someone opened the old file since it was copied: the copy is already stale.
        QFile::remove(copy);
        throw DatabaseError(QStringLiteral("数据库正被其他程序使用。"));
    }
    if (::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0) {
        throw DatabaseError(QStringLiteral("无法替换数据库文件“%1”。").arg(path));
    }
    sync(folder, O_DIRECTORY);
}

} // namespace

void CompactDataFile(const QString& path)
{
    try {
        const QString temporary = trimmedPath(path) + QStringLiteral("#####");
        DBEngine engine; // in the program's first form, the automation object "dao.DBEngine.36"
        engine.CompactDatabase(path, temporary, QString(), 0,
                               QStringLiteral(";Pwd=") + TDM::kPassword);
        if (QFileInfo(path).isFile() && QFileInfo(temporary).isFile()) {
            replaceFile(temporary, path);
        }
    } catch (...) {
        // Compaction is optional: the start-up goes on with whichever file is in place.
        reportSwallowed(QStringLiteral("compaction skipped"), std::current_exception());
    }
}
