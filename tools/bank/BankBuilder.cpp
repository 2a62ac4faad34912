#include "tools/bank/BankBuilder.h"

#include "data/BankSchema.h"
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "tools/art/Artwork.h"
#include "tools/art/SceneClips.h"
#include "tools/art/SceneKit.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <cstdio>
#include <sqlite3.h>

QByteArray pictureBlob(const QImage& image, bool withHeader)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    // A picture of 256 colours keeps its palette; every other one is stored at 24 bits.
    (image.format() == QImage::Format_Indexed8 ? image
                                               : image.convertToFormat(QImage::Format_RGB888))
        .save(&buffer, "BMP");
    if (!withHeader) {
        return bmp;
    }
    QByteArray header(8, '\0');
    qToLittleEndian<quint16>(1, header.data());
    qToLittleEndian<quint16>(0x0100, header.data() + 2);
    qToLittleEndian<quint32>(quint32(bmp.size()), header.data() + 4);
    return header + bmp;
}

namespace {

// "file:line: no drawing named X (ID n)", or the faults of the scene or clip of that name.
QString drawingFault(const SourceQuestion& q, const QString& kind, const QString& name,
                     const QStringList& why)
{
    return QStringLiteral("%1:%2: %3 (ID %4)")
        .arg(q.file)
        .arg(q.line)
        .arg(why.isEmpty()
                 ? QStringLiteral("no %1 named %2").arg(kind, name)
                 : QStringLiteral("the %1 %2 has faults: %3")
                       .arg(kind == QLatin1String("clip") ? kind : QStringLiteral("scene"), name,
                            why.join(QStringLiteral("; "))))
        .arg(q.id);
}

} // namespace

bool rowsFromSources(const std::vector<SourceQuestion>& questions, std::vector<BankRow>* rows,
                     QStringList* errors)
{
    bool ok = true;
    for (const SourceQuestion& q : questions) {
        BankRow row;
        row.id = q.id;
        row.type = q.type;
        row.chapter = q.chapter;
        row.content = contentOf(q);
        row.result = q.answer;
        row.source = q.source;
        row.explain = q.explain;
        row.key = q.key;
        if (!q.picture.isEmpty()) {
            const QImage image = drawQuestionPicture(q.picture);
            if (image.isNull()) {
                QStringList why;
                if (isKnownScene(q.picture)) {
                    drawScene(q.picture, &why);
                }
                *errors << drawingFault(q, QStringLiteral("drawing"), q.picture, why);
                ok = false;
                continue;
            }
            row.picture = pictureBlob(image, q.pictureHeader);
        }
        if (!q.clip.isEmpty()) {
            QStringList why;
            row.clip = clipFile(q.clip, &why);
            if (row.clip->isEmpty()) {
                *errors << drawingFault(q, QStringLiteral("clip"), q.clip, why);
                ok = false;
                continue;
            }
            // Where the clip does not play (the review, a damaged clip) its still stands.
            if (!row.picture) {
                row.picture = pictureBlob(drawClipFrames(q.clip).still, q.pictureHeader);
            }
        }
        rows->push_back(row);
    }
    return ok;
}

namespace {

bool exec(sqlite3* db, const QString& sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        *error = QStringLiteral("%1: %2").arg(sql.left(60), QString::fromUtf8(message));
        sqlite3_free(message);
        return false;
    }
    return true;
}

// Subject four's rows go to T_SafeTopic with their chapters.
bool insertRows(sqlite3* db, const std::vector<BankRow>& rows, bool subjectFour, QString* error)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(
            db,
            subjectFour ? "INSERT INTO T_SafeTopic (ID, Type, Content, Picture, Result, Source, "
                          "Explain, QKey, Chapter, Clip) VALUES (?,?,?,?,?,?,?,?,?,?)"
                        : "INSERT INTO T_Topic (ID, Type, Content, Picture, Result, Source, "
                          "Explain, QKey) VALUES (?,?,?,?,?,?,?,?)",
            -1, &st, nullptr) != SQLITE_OK) {
        *error = sqliteMessage(db);
        return false;
    }
    bool ok = true;
    for (const BankRow& r : rows) {
        // An empty key would pass NOT NULL and name no question.
        if (r.key.isEmpty()) {
            *error = QStringLiteral("ID %1 has no question key").arg(r.id);
            ok = false;
            break;
        }
        const QByteArray content = r.content.toUtf8();
        const QByteArray result = r.result.toUtf8();
        const QByteArray source = r.source.toUtf8();
        const QByteArray explain = r.explain.toUtf8();
        const QByteArray key = r.key.toUtf8();
        sqlite3_bind_int(st, 1, r.id);
        sqlite3_bind_int(st, 2, r.type);
        sqlite3_bind_text(st, 3, content.constData(), int(content.size()), SQLITE_TRANSIENT);
        if (r.picture) {
            sqlite3_bind_blob(st, 4, r.picture->constData(), int(r.picture->size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(st, 4);
        }
        sqlite3_bind_text(st, 5, result.constData(), int(result.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, source.constData(), int(source.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 7, explain.constData(), int(explain.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 8, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        if (subjectFour) {
            sqlite3_bind_int(st, 9, r.chapter);
            if (r.clip) {
                sqlite3_bind_blob(st, 10, r.clip->constData(), int(r.clip->size()),
                                  SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(st, 10);
            }
        }
        if (sqlite3_step(st) != SQLITE_DONE) {
            *error = QStringLiteral("ID %1: %2").arg(r.id).arg(sqliteMessage(db));
            ok = false;
            break;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return ok;
}

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
}

} // namespace

bool writeBank(const QString& path, const std::vector<BankRow>& rows, QString* error)
{
    return writeBank(path, rows, {}, error);
}

bool writeBank(const QString& path, const std::vector<BankRow>& rows,
               const std::vector<BankRow>& safeRows, QString* error)
{
    QByteArray key;
    if (!passwordKey(TDM::kPassword, &key, error)) {
        return false;
    }
    const QString building = path + QStringLiteral(".building");
    removeDatabaseFiles(building);
    sqlite3* db = openKeyedDatabase(building, key, true, error);
    if (!db) {
        return false;
    }
    bool ok = exec(db, QStringLiteral("BEGIN"), error);
    for (const QString& create :
         BankSchema::createStatements() + BankSchema::subjectFourStatements()) {
        ok = ok && exec(db, create, error);
    }
    ok = ok && insertRows(db, rows, false, error);
    ok = ok && insertRows(db, safeRows, true, error);
    ok = ok && exec(db, QStringLiteral("COMMIT"), error);
    ok = ok &&
         exec(db, QStringLiteral("PRAGMA user_version=%1").arg(BankSchema::kUserVersion), error);
    // Readers in other processes must not block the program's writes.
    ok = ok && exec(db, QStringLiteral("PRAGMA journal_mode=WAL"), error);
    if (sqlite3_close(db) != SQLITE_OK) {
        *error = QStringLiteral("closing the new bank failed");
        ok = false;
    }
    if (!ok) {
        removeDatabaseFiles(building);
        return false;
    }
    // A journal of the old file must not be replayed into the new one.
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(path).constData()) !=
        0) {
        *error = QStringLiteral("cannot put the new bank in place at %1").arg(path);
        removeDatabaseFiles(building);
        return false;
    }
    return true;
}

namespace {

// The rows a query of ID, Type, Content, Picture, Result, Source, Explain, QKey, Chapter and
// Clip gives, in its order.
bool readRows(sqlite3* db, const char* sql, std::vector<BankRow>* rows, QString* error)
{
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK;
    auto text = [&](int column) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(st, column));
    };
    int step = SQLITE_ROW;
    while (ok && (step = sqlite3_step(st)) == SQLITE_ROW) {
        BankRow r;
        r.id = sqlite3_column_int(st, 0);
        r.type = sqlite3_column_int(st, 1);
        r.content = text(2);
        if (sqlite3_column_type(st, 3) != SQLITE_NULL) {
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(st, 3));
            r.picture = QByteArray(blob, sqlite3_column_bytes(st, 3));
        }
        r.result = text(4);
        r.source = text(5);
        r.explain = text(6);
        r.key = text(7);
        r.chapter = sqlite3_column_int(st, 8);
        if (sqlite3_column_type(st, 9) != SQLITE_NULL) {
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(st, 9));
            r.clip = QByteArray(blob, sqlite3_column_bytes(st, 9));
        }
        rows->push_back(r);
    }
    if (!ok || step != SQLITE_DONE) {
        *error = sqliteMessage(db);
        ok = false;
    }
    sqlite3_finalize(st);
    return ok;
}

sqlite3* openBank(const QString& path, QString* error)
{
    QByteArray key;
    return passwordKey(TDM::kPassword, &key, error) ? openKeyedDatabase(path, key, false, error)
                                                    : nullptr;
}

} // namespace

bool readBank(const QString& path, std::vector<BankRow>* rows, QString* error)
{
    sqlite3* db = openBank(path, error);
    if (!db) {
        return false;
    }
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA table_info(T_Topic)", -1, &st, nullptr) == SQLITE_OK;
    bool keyed = false;
    while (ok && sqlite3_step(st) == SQLITE_ROW) {
        keyed = keyed ||
                qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)), "QKey") == 0;
    }
    sqlite3_finalize(st);
    if (!ok) {
        *error = sqliteMessage(db);
    }
    ok = ok && readRows(db,
                        keyed ? "SELECT ID, Type, Content, Picture, Result, Source, Explain, "
                                "QKey, 0, NULL FROM T_Topic ORDER BY ID"
                              : "SELECT ID, Type, Content, Picture, Result, Source, Explain, "
                                "NULL, 0, NULL FROM T_Topic ORDER BY ID",
                        rows, error);
    sqlite3_close(db);
    return ok;
}

bool readSubjectFour(const QString& path, std::vector<BankRow>* rows, QString* error)
{
    sqlite3* db = openBank(path, error);
    if (!db) {
        return false;
    }
    const bool ok = readRows(db,
                             "SELECT ID, Type, Content, Picture, Result, Source, Explain, QKey, "
                             "Chapter, Clip FROM T_SafeTopic ORDER BY ID",
                             rows, error);
    sqlite3_close(db);
    return ok;
}
