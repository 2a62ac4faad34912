#pragma once

#include "tools/bank/BankBuilder.h"

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;
struct sqlite3;

namespace bench {

std::int64_t nowNs();
double msSince(std::int64_t startNs);

// A folder of its own for the run: copies of the application folder and the large banks.
QString workFolder();

// A copy of the built application folder (executable, bank, pictures, clip), so that
// nothing the benchmarks do reaches the build.
QString applicationCopy();

// The main menu's picture as a PNG file, as a plain program would ship it.
QString menuPictureFile();

// An application folder whose bank holds the built bank's questions followed by copies
// of them up to the given number of questions, written by the bank builder.
QString largeBankFolder(int questions);

// A copy of the application folder whose bank also holds subject four: 350 questions of
// its three kinds spread over its chapters, made through SQL from the built bank's texts
// and pictures, a large clip on every fiftieth.
QString safeBankFolder();
constexpr int kSafeQuestions = 350;

// The rows of T_Topic in the bank of an application folder.
std::vector<BankRow> bankRows(const QString& folder);
int questionCount(const QString& folder);
int pictureCount(const QString& folder);

// Makes the data module work on the bank of this application folder, on a day without
// compaction. Screens of the previous bank must be gone.
void useBank(const QString& folder);

// A connection of our own to a copy of the bank of folder, opened as the program opens it.
sqlite3* openRaw(const QString& folder);
void execRaw(sqlite3* db, const char* sql);
// Runs a query through the sqlite3 API and reads every column of every row, as a screen
// that shows them would.
void readAllRaw(sqlite3* db, const char* sql);

// Lets events run until the window has been painted once since the call.
class PaintWatch
{
public:
    explicit PaintWatch(QWidget* window);
    ~PaintWatch();
    bool wait(int timeoutMs = 5000);

private:
    class Filter;
    Filter* m_filter;
};

// The moment the wait screens shown while it lives went, for what a screen takes after
// its wait screen; 0 while none has gone.
class WaitScreenEnd
{
public:
    WaitScreenEnd();
    ~WaitScreenEnd();
    std::int64_t endedNs() const;

private:
    class Filter;
    Filter* m_filter;
};

// A screen's opening: made, shown and painted, then closed. The figures in milliseconds
// from the show until painted, and from the end of its wait screen until painted.
struct Opening
{
    double ms = 0;
    double afterWaitMs = 0;
};
Opening timeOpening(QWidget* screen);

// A benchmark timed by its own clock, one call per repetition, reported in milliseconds
// as the aggregates of its repetitions.
benchmark::internal::Benchmark* registerTimed(const char* name, void (*function)(benchmark::State&),
                                              int repetitions);

// One repetition of a benchmark against its baseline: both run once, the first of them
// alternating from one repetition to the next so that neither always finds the caches the
// other warmed. Each returns its time in milliseconds; both become the repetition's figures.
void timeInTurn(benchmark::State& state, const std::function<double()>& program,
                const std::function<double()>& baseline);

// The benchmarks, registered in the order they run.
void registerStartUp();
void registerPractice();
void registerExam();
void registerRecord();

// Closes the screens the exam benchmarks keep between their runs.
void clearExamScene();

// Lets deferred deletes and pending events run.
void settle();

// What a program started with the paint probe reported.
struct ProbeReport
{
    bool ok = false;
    QString error;
    std::int64_t startNs = 0;  // just before the program was started
    std::int64_t loadedNs = 0; // its libraries loaded, before its main()
    std::int64_t menuNs = 0;
    long menuKiB = 0;
    std::int64_t clickNs = 0;
    std::int64_t practiceNs = 0;
    long practiceKiB = 0;
};

// Starts a program with the paint probe preloaded and waits for its report. A scale
// other than 0 is given to the program as QT_SCALE_FACTOR, as a high-density screen would.
ProbeReport runProbed(const QString& program, const QStringList& arguments, bool practice,
                      double scale = 0);

} // namespace bench
