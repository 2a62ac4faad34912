// Runs the benchmarks of the speed and memory targets and, given --results=FILE, writes
// their medians beside their baselines and targets into FILE (Markdown).
//   taviro_bench [--results=FILE] [--commit=TEXT] [Google Benchmark flags]
#include "bench/BenchSupport.h"
#include "data/DMUnit.h"
#include "sharedscreens/Environment.h"
#include "toolkit/Application.h"

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <benchmark/benchmark.h>
#include <map>
#include <optional>
#include <sqlite3.h>

using namespace bench;

namespace {

using Run = benchmark::BenchmarkReporter::Run;

QString g_loadAtStart;

// Keeps the median of every benchmark while the console shows them all.
class Collector : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            const std::string key =
                r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
            if (r.error_occurred) {
                errors[key] = r.error_message;
            } else if (r.aggregate_name == "median") {
                medians[key] = r;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Run> medians;
    std::map<std::string, std::string> errors;
};

QString readLine(const QString& path, const QString& prefix)
{
    // Files of /proc tell no size: read them whole rather than up to their end.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).section(QLatin1Char(':'), 1).trimmed();
        }
    }
    return QString();
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(f.readAll()).section(QLatin1Char(' '), 0, 2)
               : QStringLiteral("?");
}

QString number(double v, int decimals = 1)
{
    return QString::number(v, 'f', decimals);
}

class Report
{
public:
    Report(const Collector& c)
        : m_c(c)
    {}

    // The counter of a benchmark's median, or nothing when it did not run.
    bool value(const std::string& key, const char* counter, double* v) const
    {
        const auto it = m_c.medians.find(key);
        if (it == m_c.medians.end()) {
            return false;
        }
        const auto ct = it->second.counters.find(counter);
        if (ct == it->second.counters.end()) {
            return false;
        }
        *v = ct->second.value;
        return true;
    }

    void row(const QString& what, const QString& figure, const QString& baseline,
             const QString& ratio, const QString& target, std::optional<bool> met)
    {
        m_rows << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |")
                      .arg(what, figure, baseline, ratio, target,
                           met ? (*met ? QStringLiteral("yes") : QStringLiteral("**no**"))
                               : QStringLiteral("—"));
    }

    // A time against its baseline: the ratio always, the limits where there are any.
    void timed(const std::string& key, const QString& what, const QString& baselineText,
               double limitMs, double limitRatio)
    {
        double ms = 0;
        double base = 0;
        if (!value(key, "ms", &ms) || !value(key, "baseline_ms", &base)) {
            missing(key, what);
            return;
        }
        QStringList target;
        bool met = true;
        if (limitMs > 0) {
            target << QStringLiteral("≤ %1 ms").arg(limitMs);
            met = met && ms <= limitMs;
        }
        if (limitRatio > 0) {
            target << QStringLiteral("≤ %1 × baseline").arg(limitRatio);
            met = met && ms <= limitRatio * base;
        }
        row(what, number(ms, 2) + QStringLiteral(" ms"),
            number(base, 2) + QStringLiteral(" ms: ") + baselineText,
            QStringLiteral("%1 ×").arg(number(ms / base, 2)),
            target.isEmpty() ? QStringLiteral("(informative)") : target.join(QStringLiteral(", ")),
            target.isEmpty() ? std::optional<bool>() : std::optional<bool>(met));
    }

    void missing(const std::string& key, const QString& what)
    {
        const auto e = m_c.errors.find(key);
        row(what, QStringLiteral("not measured"),
            e == m_c.errors.end() ? QStringLiteral("(not run)") : QString::fromStdString(e->second),
            QString(), QString(), false);
    }

    QStringList m_rows;

private:
    const Collector& m_c;
};

void writeResults(const QString& path, const Collector& c, const QString& commit)
{
    Report r(c);
    const QString app = applicationCopy();
    const int questions = questionCount(app);

    r.timed("BM_StartUp", QStringLiteral("Start-up until the main menu is painted (`taviro`)"),
            QStringLiteral("bare Qt program, one 800 × 600 frameless window with the picture, "
                           "the splash's two captions and the contact line"),
            0, 1.2);
    r.timed("BM_StartUpScaled150",
            QStringLiteral("The same on a screen at 150 % (`QT_SCALE_FACTOR=1.5`, the 2× artwork)"),
            QStringLiteral("the same bare program, its picture scaled"), 0, 1.2);
    r.timed("BM_StartUpScaled200",
            QStringLiteral("The same on a screen at 200 % (`QT_SCALE_FACTOR=2`, the 2× artwork)"),
            QStringLiteral("the same bare program, its picture scaled"), 0, 1.2);
    r.timed("BM_FolderLock",
            QStringLiteral("What the data folder's lock adds to a start (`FolderLock`: the lock "
                           "file locked, the socket for later starts bound, both released)"),
            QStringLiteral("opening and closing the bank's file"), 5, 0);
    r.timed("BM_PracticeOpen",
            QStringLiteral("Opening sequential practice on the whole bank (show of "
                           "`TFrm_ShunXuLianXi`, wait screen included, until painted)"),
            QStringLiteral("the practice statement through sqlite3, every column read"), 30, 0);
    double menu = 0;
    double extra = 0;
    double clickMs = 0;
    if (r.value("BM_PracticeMemory", "menu_MB", &menu) &&
        r.value("BM_PracticeMemory", "extra_MB", &extra) &&
        r.value("BM_PracticeMemory", "ms", &clickMs)) {
        r.row(QStringLiteral("Resident memory added by opening practice (`taviro`: menu painted, "
                             "then practice painted; the click took %1 ms)")
                  .arg(number(clickMs, 1)),
              QStringLiteral("+%1 MB").arg(number(extra, 1)),
              QStringLiteral("%1 MB: the main menu alone").arg(number(menu, 1)), QString(),
              QStringLiteral("≤ +15 MB"), extra <= 15);
    } else {
        r.missing("BM_PracticeMemory", QStringLiteral("Resident memory added by practice"));
    }
    const QString raw = QStringLiteral("the same statements through sqlite3 in one transaction");
    r.timed("BM_DrawPaper/questions:0",
            QStringLiteral("Drawing a paper, `CreateExamPaper(ExamPlan)`, built bank (%1 "
                           "questions)")
                .arg(questions),
            raw, 20, 1.5);
    r.timed("BM_DrawPaper/questions:16000",
            QStringLiteral("Drawing a paper, bank of 16,000 questions"), raw, 0, 1.5);
    r.timed("BM_DrawPaper/questions:160000",
            QStringLiteral("Drawing a paper, bank of 160,000 questions"), raw, 0, 1.5);
    double small = 0;
    double large = 0;
    double smallRaw = 0;
    double largeRaw = 0;
    if (r.value("BM_DrawPaper/questions:16000", "ms", &small) &&
        r.value("BM_DrawPaper/questions:160000", "ms", &large) &&
        r.value("BM_DrawPaper/questions:16000", "baseline_ms", &smallRaw) &&
        r.value("BM_DrawPaper/questions:160000", "baseline_ms", &largeRaw)) {
        r.row(QStringLiteral("Growth of the draw from 16,000 to 160,000 questions"),
              QStringLiteral("%1 ×").arg(number(large / small, 2)),
              QStringLiteral("%1 ×: the raw statements").arg(number(largeRaw / smallRaw, 2)),
              QString(), QStringLiteral("≤ 10 × (the bank's growth)"), large / small <= 10);
    }
    r.timed("BM_RecordAnswer",
            QStringLiteral("Recording an answer until it is on the disk (`lblAClick`)"),
            QStringLiteral("one prepared UPDATE through sqlite3, same durability"), 5, 0);
    r.timed("BM_MarkPaper",
            QStringLiteral("Marking a paper (the result screen's marking, `FormShow`)"),
            QStringLiteral("the same statement through sqlite3"), 5, 0);
    r.timed("BM_DrawSafePaper",
            QStringLiteral("Drawing a paper of subject four (`ExamPaper::draw` in a transaction, "
                           "then the paper and the answer sheet opened), built bank with %1 "
                           "synthetic questions of subject four")
                .arg(kSafeQuestions),
            raw, 20, 1.5);
    r.timed(
        "BM_SafeExamOpen",
        QStringLiteral("Opening subject four's exam (`TFrm_SafeExam`, the paper drawn behind the "
                       "wait screen): from the end of the wait screen until painted with "
                       "question 1, on the same bank"),
        QStringLiteral("the paper and the answer sheet read through sqlite3"), 30, 0);
    r.timed("BM_ClipStart",
            QStringLiteral("A question's clip of the built bank starting (`ClipView::play`: the "
                           "file's index read, its first frame decoded and shown)"),
            QStringLiteral("the question's picture decoded"), 100, 0);
    r.timed(
        "BM_SafePracticeOpen",
        QStringLiteral("Opening subject four's practice (`TFrm_ShunXuLianXi` on `T_SafeTopic`): "
                       "from the end of the wait screen until painted, on the same bank"),
        QStringLiteral("the practice statement through sqlite3, every column read"), 30, 0);
    r.timed("BM_MarkSafePaper",
            QStringLiteral("Marking a paper of subject four question by question "
                           "(`ExamMarking::markPaper`)"),
            QStringLiteral("the paper's count of equal answers through sqlite3"), 5, 0);
    r.timed("BM_RecordExam",
            QStringLiteral("Recording a handed-in exam in the history and the wrong-question book "
                           "until it is on the disk (`StudyRecord::recordExam`)"),
            QStringLiteral("one history row in a transaction through sqlite3, same durability"), 5,
            0);
    r.timed("BM_StudyRecordOpen",
            QStringLiteral("Opening the study record (`TFrm_XueXiJiLu`) on 1,000 exams and a book "
                           "of the whole bank, until painted"),
            QStringLiteral("the last 30 exams through sqlite3"), 30, 0);
    r.timed("BM_WrongPracticeOpen",
            QStringLiteral("Opening wrong-question practice on a book of the whole bank, until "
                           "painted"),
            QStringLiteral("the book's statement through sqlite3, every column read"), 30, 0);
    const struct
    {
        int mode;
        const char* name;
    } modes[] = {{2, "chapter practice (章节练习, its first chapter)"},
                 {3, "random practice (随机练习, the whole bank in its kept order)"},
                 {5, "the review of due questions (到期复习, a book of the whole bank due)"},
                 {4, "the most missed (易错题, from 20,000 answers)"},
                 {6, "the starred questions (收藏, 100 of them)"}};
    for (const auto& m : modes) {
        r.timed("BM_StudyModeOpen/" + std::to_string(m.mode),
                QStringLiteral("Opening a study mode, %1: its questions read from the record, "
                               "then `TFrm_ShunXuLianXi` until painted, on 1,000 exams and "
                               "20,000 answers")
                    .arg(QString::fromUtf8(m.name)),
                QStringLiteral("the whole bank through sqlite3, every column read"), 30, 0);
    }
    r.timed("BM_DueAndReadiness",
            QStringLiteral("The due list and the readiness figure (`StudyLog::dueQuestions`, "
                           "`readProgress`, `readiness`) on 1,000 exams and 20,000 answers"),
            QStringLiteral("the answers of the log read through sqlite3"), 10, 0);
    r.timed("BM_RecordPracticeAnswer",
            QStringLiteral("Recording a practice answer in the log and the book until it is on "
                           "the disk (`StudyLog::recordAnswer`)"),
            QStringLiteral("one log row in a transaction through sqlite3, same durability"), 5, 0);
    r.timed("BM_RefreshBank",
            QStringLiteral("Refreshing a learner's bank (1,000 exams, a book of the whole bank, a "
                           "paper) into a bank that numbers every question anew "
                           "(`refreshBank`, on the disk when it returns)"),
            QStringLiteral("copying the new bank's file"), 2000, 0);

    const QDate today = QDate::currentDate();
    QString text;
    QTextStream out(&text);
    out << "# Benchmark results\n\n"
        << "Written by `bench/run.sh` (the program `taviro_bench`) on "
        << QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm")) << " UTC"
        << (commit.isEmpty() ? QString() : QStringLiteral(", commit ") + commit) << ".\n\n"
        << "- Machine: " << readLine(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name"))
        << ", " << QThread::idealThreadCount() << " cores; load average " << g_loadAtStart
        << " when the run began.\n"
        << "- Windows: Qt " << qVersion() << " on the `" << QGuiApplication::platformName()
        << "` platform; SQLCipher over SQLite " << sqlite3_libversion() << ".\n"
        << "- Built bank: " << questions << " questions, " << pictureCount(app)
        << " of them with a picture. The large banks are the built bank followed by copies of "
           "its questions, written by the bank builder.\n";
    if (today.day() % 10 == 0) {
        out << "- The run fell on a day of compaction: the start-up figure includes it.\n";
    }
    out << "\nEach figure is the median of its repetitions, and its baseline was measured in the "
           "same run, in turn with it. Times run from the call (or the start of the process) to "
           "the moment it returns (or the window has been painted).\n\n"
        << "| What | Figure | Baseline | Ratio | Target | Met |\n"
        << "|---|---|---|---|---|---|\n";
    for (const QString& line : std::as_const(r.m_rows)) {
        out << line << "\n";
    }
    out.flush();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

} // namespace

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    prepareEnvironment();
    g_loadAtStart = loadAverage();

    QString results;
    QString commit;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--results="))) {
            results = arg.mid(10);
        } else if (arg.startsWith(QLatin1String("--commit="))) {
            commit = arg.mid(9);
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) {
        return 2;
    }
    registerStartUp();
    registerPractice();
    registerExam();
    registerRecord();
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    if (!results.isEmpty()) {
        writeResults(results, collector, commit);
    }
    clearExamScene();
    delete DM;
    DM = nullptr;
    benchmark::Shutdown();
    return collector.errors.empty() ? 0 : 1;
}
