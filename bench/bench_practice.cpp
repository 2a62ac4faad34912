// Opening sequential practice on the whole bank, and what it adds to the resident
// memory of the program; opening subject four's practice.
#include "bench/BenchSupport.h"
#include "data/DMUnit.h"
#include "practice/Unt_ShunXuLianXi.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace bench;

namespace {

// The practice statement through the sqlite3 API, every column of every row read.
double rawBankRead(sqlite3* db)
{
    const std::int64_t start = nowNs();
    readAllRaw(db, "SELECT * FROM T_Topic\r\n ORDER BY ID ");
    return msSince(start);
}

// As the menu opens it: the screen made and shown (the wait screen, the loading of the
// bank), until it has been painted.
double openPractice()
{
    const std::int64_t start = nowNs();
    auto* screen = new TFrm_ShunXuLianXi();
    PaintWatch painted(screen);
    screen->show();
    if (!painted.wait()) {
        qFatal("the practice screen was not painted");
    }
    const double ms = msSince(start);
    screen->close();
    settle();
    return ms;
}

void BM_PracticeOpen(benchmark::State& state)
{
    const QString folder = applicationCopy();
    clearExamScene();
    useBank(folder);
    static sqlite3* raw = openRaw(folder);
    for (auto _ : state) {
        timeInTurn(state, openPractice, [] { return rawBankRead(raw); });
    }
}

// Subject four's practice on the built bank with its synthetic subject four: from the end
// of the wait screen, which covers the loading, until painted.
void BM_SafePracticeOpen(benchmark::State& state)
{
    clearExamScene();
    useBank(safeBankFolder());
    static sqlite3* raw = openRaw(safeBankFolder());
    for (auto _ : state) {
        Opening opening;
        timeInTurn(
            state,
            [&] {
                auto* screen = new TFrm_ShunXuLianXi();
                screen->setFormat(subjectFour());
                opening = timeOpening(screen);
                return opening.afterWaitMs;
            },
            [] {
                const std::int64_t start = nowNs();
                readAllRaw(raw, "SELECT * FROM T_SafeTopic\r\n ORDER BY ID ");
                return msSince(start);
            });
        state.counters["open_ms"] = opening.ms;
    }
}

// The real program: the main menu painted, then a click on its practice area until the
// practice screen has been painted; the resident memory at both moments.
void BM_PracticeMemory(benchmark::State& state)
{
    const QString program = applicationCopy() + QStringLiteral("/taviro");
    for (auto _ : state) {
        const ProbeReport r = runProbed(program, {}, true);
        if (!r.ok) {
            state.SkipWithError(qPrintable(r.error));
            break;
        }
        const double ms = double(r.practiceNs - r.clickNs) / 1e6;
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["menu_MB"] = double(r.menuKiB) * 1024 / 1e6;
        state.counters["practice_MB"] = double(r.practiceKiB) * 1024 / 1e6;
        state.counters["extra_MB"] = double(r.practiceKiB - r.menuKiB) * 1024 / 1e6;
    }
}

} // namespace

void bench::registerPractice()
{
    registerTimed("BM_PracticeOpen", BM_PracticeOpen, 30);
    registerTimed("BM_PracticeMemory", BM_PracticeMemory, 5);
    registerTimed("BM_SafePracticeOpen", BM_SafePracticeOpen, 30);
}
