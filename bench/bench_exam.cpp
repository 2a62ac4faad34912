// The mock exam: drawing a paper, recording an answer, marking the paper, and the same
// for a paper of subject four; each against the same statements run directly through the
// sqlite3 API on a connection of its own.
#include "bench/BenchSupport.h"
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SafeExam.h"
#include "exam/Unt_SimulateExam.h"
#include "exampaper/ExamMarking.h"
#include "exampaper/ExamPaper.h"
#include "gui/BitmapBlob.h"
#include "sharedscreens/ScreenParts.h"
#include "toolkit/MediaPlayer.h"

#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace bench;

namespace {

// A statement of the exam paper as the data layer sends it: its lines joined with CR LF.
QByteArray statement(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

// The statements of a format's paper, made before any run so that the baselines time
// the database alone.
struct PaperStatements
{
    explicit PaperStatements(const ExamFormat& f)
        : format(f)
        , clear(statement(ExamPaper::clearSql(f)))
        , copyBank(statement(ExamPaper::copyBankSql(f)))
        , dropUndrawn(statement(ExamPaper::dropUndrawnSql(f)))
        , paper(statement(ExamPaper::paperSql(f)))
        , sheet(statement(ExamPaper::answerSheetSql(f)))
        , marking(statement(ExamPaper::markingSql(f)))
        , number("UPDATE " + f.paperTable.toUtf8() + " SET TopicNo=? WHERE _rowid_=?")
    {
        for (const TExam& row : f.plan) {
            draws.push_back("SELECT _rowid_, ID,TopicNo FROM " + f.paperTable.toUtf8() +
                            "\r\n WHERE " + row.Condition.toUtf8() +
                            "\r\n ORDER BY RandomID LIMIT " + QByteArray::number(row.Count));
        }
    }
    const ExamFormat& format;
    QByteArray clear;
    QByteArray copyBank;
    QByteArray dropUndrawn;
    QByteArray paper;
    QByteArray sheet;
    QByteArray marking;
    QByteArray number;
    std::vector<QByteArray> draws;
};

const PaperStatements kSubjectOne(subjectOne());
const PaperStatements kSubjectFour(subjectFour());

sqlite3_stmt* prepare(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
        qFatal("%s: %s", sql.constData(), sqlite3_errmsg(db));
    }
    return st;
}

// The statements of the paper generation, as the program sends them (the row limit in
// SQLite's words), in one transaction; each drawn row is numbered by its rowid.
double rawDraw(sqlite3* db, const PaperStatements& s = kSubjectOne)
{
    const std::int64_t start = nowNs();
    execRaw(db, "BEGIN");
    execRaw(db, s.clear.constData());
    execRaw(db, s.copyBank.constData());
    sqlite3_stmt* number = prepare(db, s.number);
    int next = 1;
    for (const QByteArray& sql : s.draws) {
        sqlite3_stmt* draw = prepare(db, sql);
        std::vector<sqlite3_int64> rowIds;
        while (sqlite3_step(draw) == SQLITE_ROW) {
            rowIds.push_back(sqlite3_column_int64(draw, 0));
        }
        sqlite3_finalize(draw);
        for (sqlite3_int64 rowId : rowIds) {
            sqlite3_bind_int(number, 1, next++);
            sqlite3_bind_int64(number, 2, rowId);
            if (sqlite3_step(number) != SQLITE_DONE) {
                qFatal("%s", sqlite3_errmsg(db));
            }
            sqlite3_reset(number);
        }
    }
    sqlite3_finalize(number);
    execRaw(db, s.dropUndrawn.constData());
    readAllRaw(db, s.paper.constData());
    readAllRaw(db, s.sheet.constData());
    execRaw(db, "COMMIT");
    return msSince(start);
}

// The marking count of a paper through sqlite3.
double rawMarking(sqlite3* db, const PaperStatements& s)
{
    const std::int64_t start = nowNs();
    sqlite3_stmt* st = prepare(db, s.marking);
    sqlite3_step(st);
    benchmark::DoNotOptimize(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    return msSince(start);
}

// The screens of one bank: made when a benchmark first needs them, gone when another
// bank or screen is needed.
struct Scene
{
    QString folder;
    bool shown = false;
    TFrm_SimulateExam* exam = nullptr;
    sqlite3* raw = nullptr;

    ~Scene() { clear(); }
    void clear()
    {
        if (exam) {
            exam->Timer->setEnabled(false);
            delete exam;
            exam = nullptr;
            settle();
        }
        if (raw) {
            sqlite3_close(raw);
            raw = nullptr;
        }
    }
    // The exam screen on the bank of folder: hidden (its data sources detached, as
    // while a paper is drawn) or shown with a paper and its clock stopped.
    void use(const QString& bankFolder, bool showExam)
    {
        if (folder == bankFolder && shown == showExam && exam) {
            return;
        }
        clear();
        folder = bankFolder;
        shown = showExam;
        useBank(folder);
        raw = openRaw(folder);
        exam = new TFrm_SimulateExam(nullptr);
        if (showExam) {
            PaintWatch painted(exam);
            exam->show();
            painted.wait();
            exam->Timer->setEnabled(false);
        }
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

QString bankOf(std::int64_t questions)
{
    return questions == 0 ? applicationCopy() : largeBankFolder(int(questions));
}

void BM_DrawPaper(benchmark::State& state)
{
    const QString folder = bankOf(state.range(0));
    Scene& s = scene();
    s.use(folder, false);
    const int questions = questionCount(folder);
    for (auto _ : state) {
        bool ok = true;
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                ok = s.exam->CreateExamPaper(ExamPlan);
                return msSince(start);
            },
            [&] { return rawDraw(s.raw); });
        if (!ok) {
            state.SkipWithError("the paper could not be drawn");
            break;
        }
        state.counters["questions"] = questions;
    }
}

void BM_RecordAnswer(benchmark::State& state)
{
    Scene& s = scene();
    s.use(applicationCopy(), true);
    sqlite3_stmt* first = prepare(s.raw, "SELECT _rowid_ FROM T_TopicTmp WHERE TopicNo=2");
    sqlite3_step(first);
    const sqlite3_int64 rowId = sqlite3_column_int64(first, 0);
    sqlite3_finalize(first);
    sqlite3_stmt* update = prepare(s.raw, "UPDATE T_TopicTmp SET Result=? WHERE _rowid_=?");
    static int turn = 0;
    for (auto _ : state) {
        // A different answer at each click, so that every one is written.
        const bool even = turn++ % 2 == 0;
        Label* area = even ? s.exam->lblA : s.exam->lblC;
        std::int64_t start = nowNs();
        s.exam->lblAClick(area);
        const double ms = msSince(start);

        start = nowNs();
        sqlite3_bind_text(update, 1, even ? "A" : "C", -1, SQLITE_STATIC);
        sqlite3_bind_int64(update, 2, rowId);
        if (sqlite3_step(update) != SQLITE_DONE) {
            qFatal("%s", sqlite3_errmsg(s.raw));
        }
        sqlite3_reset(update);
        const double baseline = msSince(start);

        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["baseline_ms"] = baseline;
    }
    sqlite3_finalize(update);
}

void BM_MarkPaper(benchmark::State& state)
{
    Scene& s = scene();
    s.use(applicationCopy(), true);
    // The result screen marks the paper as it is shown; made once, it marks on each call.
    struct ResultScreen : TFrm_MoLiKaoShiPingFen
    {
        using TFrm_MoLiKaoShiPingFen::FormShow;
    };
    ResultScreen result;
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                result.FormShow();
                return msSince(start);
            },
            [&] { return rawMarking(s.raw, kSubjectOne); });
    }
}

// Subject four's paper on the built bank with a synthetic subject four: the draw as a
// screen makes it (in one transaction, then the paper and the sheet opened), and its
// marking by the core.
struct SafeBank
{
    sqlite3* raw = nullptr;

    static SafeBank& get()
    {
        static SafeBank bank;
        clearExamScene();
        useBank(safeBankFolder());
        if (!bank.raw) {
            bank.raw = openRaw(safeBankFolder());
        }
        return bank;
    }

    // False with the text when the core refuses the draw.
    static bool draw(QString* error)
    {
        const ExamFormat& four = subjectFour();
        try {
            Transaction paper(DM->ADOCon);
            ExamPaper::draw(DM->ADOQryTopic, four);
            paper.commit();
            ExamPaper::openPaper(DM->ADOQryTopic, four);
            ExamPaper::openAnswerSheet(DM->ADOQuery1, four);
        } catch (const DatabaseError& e) {
            *error = e.message();
            return false;
        }
        return true;
    }
};

void BM_DrawSafePaper(benchmark::State& state)
{
    SafeBank& bank = SafeBank::get();
    for (auto _ : state) {
        QString error;
        bool ok = true;
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                ok = SafeBank::draw(&error);
                return msSince(start);
            },
            [&] { return rawDraw(bank.raw, kSubjectFour); });
        if (!ok) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        state.counters["questions"] = DM->ADOQryTopic.recordCount();
    }
}

void BM_MarkSafePaper(benchmark::State& state)
{
    SafeBank& bank = SafeBank::get();
    QString error;
    // A paper with 40 answers given, on both copies of the bank.
    const QByteArray answer = "UPDATE T_SafePaper SET Result=(SELECT Result FROM T_SafeTopic t "
                              "WHERE t.ID=T_SafePaper.ID) WHERE TopicNo<=40";
    rawDraw(bank.raw, kSubjectFour);
    execRaw(bank.raw, answer.constData());
    if (!SafeBank::draw(&error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    execRaw(DM->ADOCon.handle(), answer.constData());
    for (auto _ : state) {
        ExamMarking::MarkedPaper paper;
        bool ok = true;
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                ok = ExamMarking::markPaper(DM->ADOCon, subjectFour(), &paper, &error);
                return msSince(start);
            },
            [&] { return rawMarking(bank.raw, kSubjectFour); });
        if (!ok || paper.right != 40) {
            state.SkipWithError(ok ? "the paper was marked wrongly" : qPrintable(error));
            break;
        }
    }
}

// Subject four's exam screen opened on that bank: from the end of its wait screen (the
// paper drawn) until painted with question 1 and its clip; the whole opening beside it.
void BM_SafeExamOpen(benchmark::State& state)
{
    SafeBank& bank = SafeBank::get();
    for (auto _ : state) {
        Opening opening;
        timeInTurn(
            state,
            [&] {
                opening = timeOpening(new TFrm_SafeExam(nullptr));
                return opening.afterWaitMs;
            },
            [&] {
                const std::int64_t start = nowNs();
                readAllRaw(bank.raw, kSubjectFour.paper.constData());
                readAllRaw(bank.raw, kSubjectFour.sheet.constData());
                return msSince(start);
            });
        state.counters["open_ms"] = opening.ms;
    }
}

// A question's clip of the built bank, from the bytes read until its first frame is on the
// display: the player reads the file's index and decodes that frame.
void BM_ClipStart(benchmark::State& state)
{
    sqlite3* raw = openRaw(applicationCopy());
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT Clip, Picture FROM T_SafeTopic WHERE Clip IS NOT NULL", -1, &st,
                       nullptr);
    QByteArray clip;
    QByteArray picture;
    if (sqlite3_step(st) == SQLITE_ROW) {
        clip = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                          sqlite3_column_bytes(st, 0));
        picture = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 1)),
                             sqlite3_column_bytes(st, 1));
    }
    sqlite3_finalize(st);
    if (clip.isEmpty()) {
        state.SkipWithError("the built bank holds no clip");
        return;
    }
    QWidget box;
    box.resize(230, 178);
    auto* view = new ClipView(&box, Qt::white);
    view->setGeometry(box.rect());
    box.show();
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                if (!view->play(clip) || view->player()->currentFrame().isNull()) {
                    qFatal("the clip does not play");
                }
                const double ms = msSince(start);
                view->stop();
                return ms;
            },
            [&] {
                const std::int64_t start = nowNs();
                QString why;
                readBitmapBlob(picture, &why);
                return msSince(start);
            });
    }
    sqlite3_close(raw);
}

} // namespace

void bench::clearExamScene()
{
    scene().clear();
}

void bench::registerExam()
{
    registerTimed("BM_DrawPaper", BM_DrawPaper, 25)->ArgName("questions")->Arg(0)->Arg(16000);
    registerTimed("BM_DrawPaper", BM_DrawPaper, 7)->ArgName("questions")->Arg(160000);
    registerTimed("BM_RecordAnswer", BM_RecordAnswer, 200);
    registerTimed("BM_MarkPaper", BM_MarkPaper, 200);
    registerTimed("BM_DrawSafePaper", BM_DrawSafePaper, 25);
    registerTimed("BM_MarkSafePaper", BM_MarkSafePaper, 200);
    registerTimed("BM_SafeExamOpen", BM_SafeExamOpen, 25);
    registerTimed("BM_ClipStart", BM_ClipStart, 50);
}
