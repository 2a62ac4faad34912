// Learning from mistakes: recording a handed-in exam in the history and the book, and
// opening the study record and wrong-question practice on a history of 1,000 exams with
// every question of the bank in the book.
#include "bench/BenchSupport.h"
#include "data/DMUnit.h"
#include "exampaper/ExamPaper.h"
#include "exampaper/StudyLog.h"
#include "exampaper/StudyRecord.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiJiLu.h"
#include "tools/refresh/BankRefresh.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace bench;

namespace {

// A copy of the application folder with a paper drawn and answered in part.
QString recordFolder(const char* name)
{
    const QString to = workFolder() + QLatin1Char('/') + QLatin1String(name);
    QDir().mkpath(to);
    const QDir from(applicationCopy());
    for (const QFileInfo& f : from.entryInfoList(QDir::Files)) {
        if (!f.fileName().startsWith(QLatin1String("Drive.mdb-"))) {
            QFile::remove(to + QLatin1Char('/') + f.fileName());
            QFile::copy(f.filePath(), to + QLatin1Char('/') + f.fileName());
        }
    }
    return to;
}

void drawAnsweredPaper()
{
    ExamPaper::draw(DM->ADOQryTopic, ExamPlan);
    Query& q = DM->ADOQryTopic;
    q.close();
    q.SQL.clear();
    q.SQL.add(QStringLiteral("UPDATE T_TopicTmp SET Result=(SELECT Result FROM T_Topic WHERE "
                             "T_Topic.ID=T_TopicTmp.ID) WHERE TopicNo<=85"));
    q.execSQL();
}

// The history of 1,000 exams and a book of the whole bank, made once.
const QString& historyFolder()
{
    static const QString folder = [] {
        const QString f = recordFolder("history");
        useBank(f);
        drawAnsweredPaper();
        QString error;
        const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
        for (int i = 0; i < 1000; ++i) {
            if (!StudyRecord::recordExam(DM->ADOCon, subjectOne(), nullptr, start.addSecs(i * 3600),
                                         QStringLiteral("1"), nullptr, &error)) {
                qFatal("%s", qPrintable(error));
            }
        }
        Query& q = DM->ADOQryTopic;
        q.close();
        q.SQL.clear();
        q.SQL.add(QStringLiteral("INSERT OR REPLACE INTO T_WrongBook (ID, Misses, LastMissed) "
                                 "SELECT ID, 3, '2026-02-11 10:00:00' FROM T_Topic"));
        q.execSQL();
        // The baselines read a copy of the file: everything in it, nothing in the journal.
        execRaw(DM->ADOCon.handle(), "PRAGMA wal_checkpoint(TRUNCATE)");
        return f;
    }();
    return folder;
}

// One row in a transaction of its own on a connection: what a durable commit costs.
double durableRow(sqlite3* db, const QByteArray& insert)
{
    const std::int64_t start = nowNs();
    execRaw(db, "BEGIN IMMEDIATE");
    execRaw(db, insert.constData());
    execRaw(db, "COMMIT");
    return msSince(start);
}

void BM_RecordExam(benchmark::State& state)
{
    clearExamScene();
    useBank(recordFolder("recordexam"));
    drawAnsweredPaper();
    sqlite3* db = DM->ADOCon.handle();
    // The first record makes the tables, so that the baseline finds them whichever runs
    // first; the figure is of the records after it.
    QString error;
    if (!StudyRecord::recordExam(DM->ADOCon, subjectOne(), nullptr, QDateTime::currentDateTime(),
                                 QStringLiteral("12345678"), nullptr, &error)) {
        qFatal("%s", qPrintable(error));
    }
    int n = 0;
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                QString error;
                const std::int64_t start = nowNs();
                if (!StudyRecord::recordExam(DM->ADOCon, subjectOne(), nullptr,
                                             QDateTime::currentDateTime(),
                                             QStringLiteral("12345678"), nullptr, &error)) {
                    qFatal("%s", qPrintable(error));
                }
                return msSince(start);
            },
            // One history row in a transaction of its own on the same connection: the cost
            // of a durable commit that any record pays.
            [&] {
                return durableRow(db, "INSERT INTO T_ExamHistory (TakenAt, CandidateNo, Score, "
                                      "Passed, Questions) VALUES ('2026-01-01 00:00:00', 'x', " +
                                          QByteArray::number(n++ % 100) + ", 0, 100)");
            });
    }
}

// A screen made and shown until it has been painted, then closed.
template <typename Screen, typename Setup> double openScreen(Setup setup)
{
    const std::int64_t start = nowNs();
    auto* screen = new Screen();
    setup(screen);
    PaintWatch painted(screen);
    screen->show();
    if (!painted.wait()) {
        qFatal("the screen was not painted");
    }
    const double ms = msSince(start);
    screen->close();
    settle();
    return ms;
}

void timeOpening(benchmark::State& state, double (*open)(), const char* baselineSql)
{
    const QString folder = historyFolder();
    clearExamScene();
    useBank(folder);
    static sqlite3* raw = openRaw(folder);
    for (auto _ : state) {
        const double ms = open();
        const std::int64_t start = nowNs();
        readAllRaw(raw, baselineSql);
        const double baseline = msSince(start);
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["baseline_ms"] = baseline;
    }
}

void BM_StudyRecordOpen(benchmark::State& state)
{
    timeOpening(
        state, [] { return openScreen<TFrm_XueXiJiLu>([](TFrm_XueXiJiLu*) {}); },
        "SELECT TakenAt, CandidateNo, Score, Passed, Questions FROM T_ExamHistory "
        "WHERE Subject=1 ORDER BY HistoryID DESC LIMIT 30");
}

void BM_WrongPracticeOpen(benchmark::State& state)
{
    timeOpening(
        state,
        [] {
            return openScreen<TFrm_ShunXuLianXi>([](TFrm_ShunXuLianXi* s) { s->WrongBook = true; });
        },
        "SELECT * FROM T_Topic\r\n WHERE ID IN (SELECT ID FROM T_WrongBook WHERE Subject=1)\r\n "
        "ORDER BY ID ");
}

// The history of 1,000 exams, the book of the whole bank due, 20,000 answers in the log
// and a hundred stars, made once on a copy of the history.
const QString& studyFolder()
{
    static const QString folder = [] {
        const QString from = historyFolder();
        const QString f = recordFolder("study");
        delete DM;
        DM = nullptr;
        QFile::remove(f + QStringLiteral("/Drive.mdb"));
        QFile::copy(from + QStringLiteral("/Drive.mdb"), f + QStringLiteral("/Drive.mdb"));
        useBank(f);
        sqlite3* db = DM->ADOCon.handle();
        execRaw(db, "BEGIN IMMEDIATE");
        // The exams' answers are in the log too: it is made anew with 20,000.
        execRaw(db, "DELETE FROM T_AnswerLog");
        for (int round = 0; round < 13; ++round) {
            execRaw(db, QByteArray("INSERT INTO T_AnswerLog (Subject, QKey, Mode, Answer, IsRight, "
                                   "AnsweredAt) SELECT 1, QKey, 0, 'A', (ID + " +
                                   QByteArray::number(round) +
                                   ") % 3 <> 0, '2026-02-01 10:00:00' FROM T_Topic LIMIT 1540")
                            .constData());
        }
        execRaw(db, "INSERT INTO T_Starred (Subject, QKey) SELECT 1, QKey FROM T_Topic LIMIT 100");
        execRaw(db, "COMMIT");
        execRaw(db, "PRAGMA wal_checkpoint(TRUNCATE)");
        return f;
    }();
    return folder;
}

// A way of study opened as its card opens it: its questions read from the record, then
// the practice screen until painted.
double openMode(StudyLog::Mode mode)
{
    std::vector<int> order;
    QString error;
    Connection& db = DM->ADOCon;
    const ExamFormat& one = subjectOne();
    const bool read =
        mode == StudyLog::Mode::Chapter  ? StudyLog::chapterQuestions(db, one, 0, &order, &error)
        : mode == StudyLog::Mode::Random ? StudyLog::randomOrder(db, one, &order, &error)
        : mode == StudyLog::Mode::Due
            ? StudyLog::dueQuestions(db, one, QDate(2026, 3, 1), &order, &error)
        : mode == StudyLog::Mode::Missed ? StudyLog::mostMissed(db, one, &order, &error)
                                         : StudyLog::starredQuestions(db, one, &order, &error);
    if (!read || order.empty()) {
        qFatal("no questions for the mode: %s", qPrintable(error));
    }
    return openScreen<TFrm_ShunXuLianXi>([&](TFrm_ShunXuLianXi* s) {
        s->StudyMode = mode;
        s->Order = order;
    });
}

void BM_StudyModeOpen(benchmark::State& state)
{
    const QString folder = studyFolder();
    clearExamScene();
    useBank(folder);
    static sqlite3* raw = openRaw(folder);
    const auto mode = StudyLog::Mode(state.range(0));
    for (auto _ : state) {
        const double ms = openMode(mode);
        const std::int64_t start = nowNs();
        readAllRaw(raw, "SELECT * FROM T_Topic ORDER BY ID");
        const double baseline = msSince(start);
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["baseline_ms"] = baseline;
    }
}

// What the record screen and the study modes read: the due list, the chapters' progress
// from the log and the readiness figure.
void BM_DueAndReadiness(benchmark::State& state)
{
    const QString folder = studyFolder();
    clearExamScene();
    useBank(folder);
    static sqlite3* raw = openRaw(folder);
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                std::vector<int> due;
                StudyLog::Progress progress;
                QString error;
                if (!StudyLog::dueQuestions(DM->ADOCon, subjectOne(), QDate(2026, 3, 1), &due,
                                            &error) ||
                    !StudyLog::readProgress(DM->ADOCon, subjectOne(), &progress, &error)) {
                    qFatal("%s", qPrintable(error));
                }
                benchmark::DoNotOptimize(StudyLog::readiness(subjectOne(), progress));
                return msSince(start);
            },
            [&] {
                const std::int64_t start = nowNs();
                readAllRaw(raw, "SELECT QKey, IsRight FROM T_AnswerLog WHERE Subject=1");
                return msSince(start);
            });
    }
}

void BM_RecordPracticeAnswer(benchmark::State& state)
{
    clearExamScene();
    useBank(recordFolder("recordanswer"));
    sqlite3* db = DM->ADOCon.handle();
    StudyLog::Answer answer;
    answer.id = 1;
    answer.given = QStringLiteral("A");
    QString error;
    // The first answer makes the tables; the figure is of the answers after it.
    if (!StudyLog::recordAnswer(DM->ADOCon, subjectOne(), answer, QDateTime::currentDateTime(),
                                &error)) {
        qFatal("%s", qPrintable(error));
    }
    int n = 0;
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                answer.id = 1 + n++ % 1000;
                answer.right = n % 2 == 0;
                const std::int64_t start = nowNs();
                if (!StudyLog::recordAnswer(DM->ADOCon, subjectOne(), answer,
                                            QDateTime::currentDateTime(), &error)) {
                    qFatal("%s", qPrintable(error));
                }
                return msSince(start);
            },
            // One row in a transaction of its own: the durable commit any answer pays.
            [&] {
                return durableRow(db, "INSERT INTO T_AnswerLog (Subject, QKey, Mode, Answer, "
                                      "IsRight, AnsweredAt) VALUES (1, 'x', 0, 'A', 1, "
                                      "'2026-01-01 00:00:00')");
            });
    }
}

// An upgrade on a learner with 1,000 exams, a book of the whole bank and a paper: the new
// bank numbers every question one higher and has a new question first. Against a copy of
// the new bank's file, the least an upgrade reads.
void BM_RefreshBank(benchmark::State& state)
{
    clearExamScene();
    const QString learner = historyFolder();
    delete DM; // the learner's bank is closed during an upgrade
    DM = nullptr;
    const QString work = workFolder() + QStringLiteral("/refresh");
    QDir().mkpath(work);
    const QString fresh = work + QStringLiteral("/new.mdb");
    if (!QFile::exists(fresh)) {
        std::vector<BankRow> rows = bankRows(applicationCopy());
        for (BankRow& r : rows) {
            ++r.id;
        }
        BankRow first = rows.front();
        first.id = 1;
        first.key = QStringLiteral("bench-new");
        first.content = QStringLiteral("新的第一题") + first.content;
        rows.insert(rows.begin(), first);
        QString error;
        if (!writeBank(fresh, rows, &error)) {
            qFatal("%s", qPrintable(error));
        }
    }
    const QString bank = work + QStringLiteral("/Drive.mdb");
    const QString copy = work + QStringLiteral("/copy.mdb");
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString& f : {bank, copy}) {
            QFile::remove(f);
        }
        QFile::copy(learner + QStringLiteral("/Drive.mdb"), bank);
        state.ResumeTiming();
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                QString error;
                RefreshReport report;
                if (!refreshBank(bank, fresh, {}, &report, &error) || report.dropped != 0) {
                    state.SkipWithError(qPrintable(error));
                }
                return msSince(start);
            },
            [&] {
                const std::int64_t start = nowNs();
                QFile::copy(fresh, copy);
                return msSince(start);
            });
    }
}

} // namespace

void bench::registerRecord()
{
    registerTimed("BM_RecordExam", BM_RecordExam, 100);
    registerTimed("BM_StudyRecordOpen", BM_StudyRecordOpen, 30);
    registerTimed("BM_WrongPracticeOpen", BM_WrongPracticeOpen, 30);
    registerTimed("BM_RefreshBank", BM_RefreshBank, 5);
    for (const StudyLog::Mode mode :
         {StudyLog::Mode::Chapter, StudyLog::Mode::Random, StudyLog::Mode::Due,
          StudyLog::Mode::Missed, StudyLog::Mode::Starred}) {
        registerTimed("BM_StudyModeOpen", BM_StudyModeOpen, 20)->Arg(int(mode));
    }
    registerTimed("BM_DueAndReadiness", BM_DueAndReadiness, 50);
    registerTimed("BM_RecordPracticeAnswer", BM_RecordPracticeAnswer, 100);
}
