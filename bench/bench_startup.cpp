// Start-up until the main menu is painted: the real program started from a copy of the
// built application folder, against a bare Qt program that shows one window with the
// menu's picture, read from a PNG file, and the first texts the program shows in the
// same faces (bench/bare_window.cpp). The two start in turn, so both see the same
// machine. The scaled runs start both as on a screen at 150 % and 200 %, where the
// program draws its 2x artwork and the bare program scales its one picture.
#include "bench/BenchSupport.h"
#include "toolkit/FolderLock.h"
#include "toolkit/Resources.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

using namespace bench;

namespace {

double startMs(const ProbeReport& r)
{
    return double(r.menuNs - r.startNs) / 1e6;
}

void startUp(benchmark::State& state, double scale)
{
    const QString program = applicationCopy() + QStringLiteral("/taviro");
    const QString bare = QStringLiteral(BENCH_BARE_WINDOW);
    const QStringList bareArgs{menuPictureFile(), loadStr(StringId::Contact)};
    static double warm = -1;
    if (warm != scale) {
        // The first start of each reads the libraries and fonts from the disk.
        runProbed(bare, bareArgs, false, scale);
        runProbed(program, {}, false, scale);
        warm = scale;
    }
    static int turn = 0;
    for (auto _ : state) {
        ProbeReport taviro;
        ProbeReport baseline;
        if (turn++ % 2 == 0) {
            baseline = runProbed(bare, bareArgs, false, scale);
            taviro = runProbed(program, {}, false, scale);
        } else {
            taviro = runProbed(program, {}, false, scale);
            baseline = runProbed(bare, bareArgs, false, scale);
        }
        if (!taviro.ok || !baseline.ok) {
            state.SkipWithError(qPrintable(taviro.ok ? baseline.error : taviro.error));
            break;
        }
        state.SetIterationTime(startMs(taviro) / 1e3);
        state.counters["ms"] = startMs(taviro);
        state.counters["baseline_ms"] = startMs(baseline);
        state.counters["load_ms"] = double(taviro.loadedNs - taviro.startNs) / 1e6;
        state.counters["baseline_load_ms"] = double(baseline.loadedNs - baseline.startNs) / 1e6;
        state.counters["menu_MB"] = double(taviro.menuKiB) * 1024 / 1e6;
        state.counters["baseline_MB"] = double(baseline.menuKiB) * 1024 / 1e6;
    }
}

void BM_StartUp(benchmark::State& state)
{
    startUp(state, 0);
}

void BM_StartUpScaled150(benchmark::State& state)
{
    startUp(state, 1.5);
}

void BM_StartUpScaled200(benchmark::State& state)
{
    startUp(state, 2);
}

// What the lock of the data folder adds to a start: its file opened and locked, the socket
// that later starts ask bound; against opening and closing the bank's file.
void BM_FolderLock(benchmark::State& state)
{
    const QString folder = applicationCopy();
    const QByteArray bank = QFile::encodeName(folder + QStringLiteral("/Drive.mdb"));
    for (auto _ : state) {
        timeInTurn(
            state,
            [&] {
                const std::int64_t start = nowNs();
                {
                    FolderLock lock(folder);
                    if (lock.state() != FolderLock::State::Owner) {
                        state.SkipWithError("the folder's lock is taken");
                    }
                }
                return msSince(start);
            },
            [&] {
                const std::int64_t start = nowNs();
                ::close(::open(bank.constData(), O_RDONLY | O_CLOEXEC));
                return msSince(start);
            });
    }
}

} // namespace

void bench::registerStartUp()
{
    registerTimed("BM_StartUp", BM_StartUp, 20);
    registerTimed("BM_StartUpScaled150", BM_StartUpScaled150, 20);
    registerTimed("BM_StartUpScaled200", BM_StartUpScaled200, 20);
    registerTimed("BM_FolderLock", BM_FolderLock, 50);
}
