#pragma once
// Banks for the tests of the package: a keyed handle, new questions, a learner's paper.
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "tests/support/TestSupport.h"

#include <QStringList>
#include <sqlite3.h>

namespace testing {

// A keyed handle on a bank of a test.
class Bank
{
public:
    explicit Bank(const QString& path)
    {
        QByteArray key;
        QString error;
        passwordKey(TDM::kPassword, &key, &error);
        m_db = openKeyedDatabase(path, key, false, &error);
        if (!m_db) {
            qWarning("%s", qPrintable(error));
        }
    }
    ~Bank() { sqlite3_close(m_db); }
    Bank(const Bank&) = delete;
    Bank& operator=(const Bank&) = delete;

    bool exec(const char* sql)
    {
        return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    // The first column of every row, as text, joined with "|".
    QString column(const char* sql)
    {
        QStringList values;
        sqlite3_stmt* stmt = nullptr;
        if (!m_db || sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            return QStringLiteral("<error>");
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            values << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        }
        sqlite3_finalize(stmt);
        return values.join(QLatin1Char('|'));
    }

private:
    sqlite3* m_db = nullptr;
};

inline std::vector<BankRow> newQuestions()
{
    return {
        choiceRow(1, QStringLiteral("新题一"), QStringLiteral("A")),
        trueFalseRow(2, QStringLiteral("新题二"), QStringLiteral("对")),
        choiceRow(3, QStringLiteral("新题三"), QStringLiteral("C")),
        choiceRow(9, QStringLiteral("新题九"), QStringLiteral("D")),
    };
}

// Gives a learner's bank a paper of two answered questions and a table of the learner's
// own that the package's bank does not have.
inline void writeLearnerBank(const QString& path)
{
    Bank bank(path);
    QVERIFY(bank.exec("DELETE FROM T_TopicTmp"));
    QVERIFY(bank.exec("INSERT INTO T_TopicTmp (ID, Type, TopicNo, Result, RandomID) "
                      "VALUES (1, 0, 1, 'B', 11), (2, 1, 2, '错', 22)"));
    QVERIFY(bank.exec("CREATE TABLE T_WrongBook (ID INTEGER, Times INTEGER)"));
    QVERIFY(bank.exec("INSERT INTO T_WrongBook VALUES (2, 3)"));
    QVERIFY(bank.exec("PRAGMA user_version = 5"));
}

inline const char kPaper[] = "SELECT ID || ':' || TopicNo || ':' || Result || ':' || RandomID "
                             "FROM T_TopicTmp ORDER BY TopicNo";

} // namespace testing
