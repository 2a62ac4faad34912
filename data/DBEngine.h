#pragma once

#include <QString>

// The database engine the compaction drives, in the shape of the automation object the
// bank was first compacted with.
class DBEngine
{
public:
    // Writes a compacted copy of the keyed database at source to destination, which
    // must not exist. sourceLocale carries the source's password as ";Pwd=...". The copy
    // keeps that password unless locale names another one the same way, and keeps the
    // source's user_version and WAL journal mode. options must be 0: no other format
    // exists. The source must not be open elsewhere; when this returns, its WAL has been
    // checkpointed and removed, so the copy holds everything committed to it.
    //
    // Throws DatabaseError. On failure the source is as it was and nothing of the copy
    // is left behind.
    void CompactDatabase(const QString& source, const QString& destination, const QString& locale,
                         int options, const QString& sourceLocale);
};
