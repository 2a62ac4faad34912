#include "tools/refresh/BankRefresh.h"

#include "data/Connection.h"
#include "data/DMUnit.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace {

struct Handle
{
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close(db); }
};

bool exec(sqlite3* db, const QString& sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// The statements that make the questions table and its indexes in the new bank.
bool questionSchema(sqlite3* db, QStringList* statements, QString* error)
{
    sqlite3_stmt* stmt = nullptr;
    const char* sql = "SELECT sql FROM fresh.sqlite_master WHERE tbl_name = 'T_Topic' "
                      "AND sql IS NOT NULL ORDER BY type = 'table' DESC, rowid";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        *error = sqliteMessage(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        *statements << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        *error = sqliteMessage(db);
        return false;
    }
    if (statements->isEmpty() || !statements->first().startsWith(QLatin1String("CREATE TABLE"))) {
        *error = QStringLiteral("新题库中没有题目表 T_Topic。");
        return false;
    }
    return true;
}

int count(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    int n = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        n = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return n;
}

} // namespace

int refreshBank(const QString& learnerBank, const QString& newBank, QString* error)
{
    QString failure;
    auto fail = [&](const QString& what) {
        *error = what;
        return -1;
    };
    if (!QFileInfo(newBank).isFile()) {
        return fail(QStringLiteral("找不到新题库文件“%1”。").arg(newBank));
    }
    QByteArray key;
    if (!passwordKey(TDM::kPassword, &key, &failure)) {
        return fail(failure);
    }
    Handle learner;
    learner.db = openKeyedDatabase(learnerBank, key, false, &failure);
    if (!learner.db) {
        return fail(failure);
    }
    sqlite3_stmt* attach = nullptr;
    if (sqlite3_prepare_v2(learner.db, "ATTACH DATABASE ?1 AS fresh KEY ?2", -1, &attach,
                           nullptr) != SQLITE_OK) {
        return fail(sqliteMessage(learner.db));
    }
    const QByteArray path = newBank.toUtf8();
    sqlite3_bind_text(attach, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(attach, 2, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (rc != SQLITE_DONE) {
        return fail(
            QStringLiteral("无法打开新题库“%1”：%2").arg(newBank, sqliteMessage(learner.db)));
    }
    // A wrong key or a file that is no bank shows only at the first read.
    if (count(learner.db, "SELECT count(*) FROM fresh.sqlite_master") < 0) {
        return fail(
            QStringLiteral("“%1”不是本程序的题库：%2").arg(newBank, sqliteMessage(learner.db)));
    }
    QStringList schema;
    if (!questionSchema(learner.db, &schema, &failure)) {
        return fail(failure);
    }
    if (!exec(learner.db, QStringLiteral("BEGIN IMMEDIATE"), &failure)) {
        return fail(QStringLiteral("无法修改学员题库：%1").arg(failure));
    }
    bool ok = exec(learner.db, QStringLiteral("DROP TABLE IF EXISTS main.T_Topic"), &failure);
    // The new bank's statements name no schema, so they make the table in the learner's.
    for (const QString& statement : schema) {
        ok = ok && exec(learner.db, statement, &failure);
    }
    ok = ok &&
         exec(learner.db, QStringLiteral("INSERT INTO main.T_Topic SELECT * FROM fresh.T_Topic"),
              &failure);
    ok = ok && exec(learner.db, QStringLiteral("COMMIT"), &failure);
    if (!ok) {
        QString ignored;
        exec(learner.db, QStringLiteral("ROLLBACK"), &ignored);
        return fail(QStringLiteral("题库更新失败，学员题库保持原样：%1").arg(failure));
    }
    exec(learner.db, QStringLiteral("DETACH DATABASE fresh"), &failure);
    return count(learner.db, "SELECT count(*) FROM main.T_Topic");
}
