#include "bench/BenchSupport.h"

#include "data/BankSchema.h"
#include "data/Clock.h"
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "sharedscreens/Unt_Wait.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"
#include "tools/art/Artwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

struct DataModuleHost : TDM::Host
{
    void connectionFailed() override { qFatal("the benchmark bank cannot be opened"); }
};

DataModuleHost g_host;
// The 8th: no compaction at start.
FixedClock g_clock(QDate(2026, 12, 8));

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            copyFolder(entry.filePath(), target);
        } else if (!entry.fileName().startsWith(QLatin1String("Drive.mdb-"))) {
            QFile::remove(target);
            if (!QFile::copy(entry.filePath(), target)) {
                qFatal("cannot copy %s", qPrintable(entry.filePath()));
            }
            QFile::setPermissions(target, entry.permissions());
        }
    }
}

sqlite3* openBank(const QString& folder)
{
    QByteArray key;
    QString error;
    if (!passwordKey(TDM::kPassword, &key, &error)) {
        qFatal("%s", qPrintable(error));
    }
    sqlite3* db = openKeyedDatabase(folder + QStringLiteral("/Drive.mdb"), key, false, &error);
    if (!db) {
        qFatal("%s", qPrintable(error));
    }
    return db;
}

int scalar(const QString& folder, const char* sql)
{
    sqlite3* db = openBank(folder);
    sqlite3_stmt* st = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        value = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return value;
}

QString columnText(sqlite3_stmt* st, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)),
                             sqlite3_column_bytes(st, column));
}

} // namespace

std::int64_t nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

double msSince(std::int64_t startNs)
{
    return double(nowNs() - startNs) / 1e6;
}

QString workFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/taviro-bench-XXXXXX"));
    if (!dir.isValid()) {
        qFatal("cannot make a work folder");
    }
    return dir.path();
}

QString applicationCopy()
{
    static const QString folder = [] {
        const QString to = workFolder() + QStringLiteral("/app");
        copyFolder(QStringLiteral(TAVIRO_APP_DIR), to);
        return to;
    }();
    return folder;
}

QString menuPictureFile()
{
    static const QString path = [] {
        const QString file = workFolder() + QStringLiteral("/MainMenu.png");
        for (const ArtItem& item : mainMenuArt()) {
            if (item.path.startsWith(QLatin1String("art/MainMenu."))) {
                item.draw().save(file, "PNG");
            }
        }
        if (!QFileInfo::exists(file)) {
            qFatal("cannot draw the menu's picture");
        }
        return file;
    }();
    return path;
}

std::vector<BankRow> bankRows(const QString& folder)
{
    sqlite3* db = openBank(folder);
    sqlite3_stmt* st = nullptr;
    std::vector<BankRow> rows;
    if (sqlite3_prepare_v2(db,
                           "SELECT ID,Type,Content,Picture,Result,Source,Explain,QKey FROM T_Topic "
                           "ORDER BY ID",
                           -1, &st, nullptr) != SQLITE_OK) {
        qFatal("%s", sqlite3_errmsg(db));
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        BankRow r;
        r.id = sqlite3_column_int(st, 0);
        r.type = sqlite3_column_int(st, 1);
        r.content = columnText(st, 2);
        if (sqlite3_column_type(st, 3) != SQLITE_NULL) {
            r.picture = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 3)),
                                   sqlite3_column_bytes(st, 3));
        }
        r.result = columnText(st, 4);
        r.source = columnText(st, 5);
        r.explain = columnText(st, 6);
        r.key = columnText(st, 7);
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

int questionCount(const QString& folder)
{
    return scalar(folder, "SELECT count(*) FROM T_Topic");
}

int pictureCount(const QString& folder)
{
    return scalar(folder, "SELECT count(*) FROM T_Topic WHERE Picture IS NOT NULL");
}

QString largeBankFolder(int questions)
{
    const QString folder = workFolder() + QStringLiteral("/bank%1").arg(questions);
    if (QFileInfo::exists(folder + QStringLiteral("/Drive.mdb"))) {
        return folder;
    }
    QDir().mkpath(folder);
    for (const char* name : {"CLOCK.AVI", "Yes.bmp", "No.bmp"}) {
        QFile::copy(QStringLiteral(TAVIRO_APP_DIR "/") + QLatin1String(name),
                    folder + QLatin1Char('/') + QLatin1String(name));
    }
    const std::vector<BankRow> built = bankRows(QStringLiteral(TAVIRO_APP_DIR));
    std::vector<BankRow> rows = built;
    int id = built.empty() ? 0 : built.back().id;
    for (size_t i = 0; int(rows.size()) < questions; ++i) {
        BankRow copy = built[i % built.size()];
        copy.id = ++id;
        copy.key += QStringLiteral("#%1").arg(id);
        rows.push_back(std::move(copy));
    }
    QString error;
    if (!writeBank(folder + QStringLiteral("/Drive.mdb"), rows, &error)) {
        qFatal("cannot write the bank of %d questions: %s", questions, qPrintable(error));
    }
    return folder;
}

QString safeBankFolder()
{
    static const QString folder = [] {
        const QString to = workFolder() + QStringLiteral("/safe");
        copyFolder(QStringLiteral(TAVIRO_APP_DIR), to);
        sqlite3* db = openBank(to);
        execRaw(db, "DROP TABLE IF EXISTS T_SafeTopic");
        execRaw(db, "DROP TABLE IF EXISTS T_SafePaper");
        for (const QString& sql : BankSchema::subjectFourStatements()) {
            execRaw(db, sql.toUtf8().constData());
        }
        const QByteArray fill =
            "INSERT INTO T_SafeTopic (ID, Type, Chapter, Content, Result, Source, Explain, QKey, "
            "Picture) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<" +
            QByteArray::number(kSafeQuestions - 1) +
            ") SELECT n.i+1, n.i%3, (n.i/3)%7+1, t.Content, CASE n.i%3 WHEN 0 THEN 'B' WHEN 1 "
            "THEN '√' ELSE 'ABD' END, t.Source, t.Explain, 'bench-safe-'||(n.i+1), t.Picture "
            "FROM n INNER JOIN T_Topic t ON t.ID=(SELECT MIN(ID) FROM T_Topic WHERE ID>n.i)";
        execRaw(db, fill.constData());
        execRaw(db, "UPDATE T_SafeTopic SET Clip=zeroblob(2000000) WHERE ID%50=1");
        sqlite3_close(db);
        return to;
    }();
    return folder;
}

void useBank(const QString& folder)
{
    if (DM && DM->databasePath() == folder + QStringLiteral("/Drive.mdb")) {
        return;
    }
    delete DM;
    setApplicationDirectory(folder);
    Application::setTitle(QStringLiteral("Taviro"));
    DM = new TDM(folder, g_clock, g_host);
    DM->DataModuleCreate();
}

sqlite3* openRaw(const QString& folder)
{
    // A copy of its own: two connections writing one file would each find the other's
    // changes at every transaction and read the whole bank again, which the program,
    // alone with its bank, never does.
    const QString copy = folder + QStringLiteral("/baseline");
    QDir().mkpath(copy);
    QFile::remove(copy + QStringLiteral("/Drive.mdb"));
    if (!QFile::copy(folder + QStringLiteral("/Drive.mdb"), copy + QStringLiteral("/Drive.mdb"))) {
        qFatal("cannot copy the bank of %s", qPrintable(folder));
    }
    QFile::setPermissions(copy + QStringLiteral("/Drive.mdb"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return openBank(copy);
}

void execRaw(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        qFatal("%s: %s", sql, message);
    }
}

class PaintWatch::Filter : public QObject
{
public:
    explicit Filter(QWidget* window)
        : m_window(window)
    {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
    QWidget* m_window;
    bool painted = false;
};

PaintWatch::PaintWatch(QWidget* window)
    : m_filter(new Filter(window))
{
    window->installEventFilter(m_filter);
}

PaintWatch::~PaintWatch()
{
    delete m_filter;
}

class WaitScreenEnd::Filter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (qobject_cast<TFrm_Wait*>(watched) && event->type() == QEvent::Show) {
            connect(watched, &QObject::destroyed, this, [this] { ended = nowNs(); });
        }
        return false;
    }
    std::int64_t ended = 0;
};

WaitScreenEnd::WaitScreenEnd()
    : m_filter(new Filter)
{
    qApp->installEventFilter(m_filter);
}

WaitScreenEnd::~WaitScreenEnd()
{
    delete m_filter;
}

std::int64_t WaitScreenEnd::endedNs() const
{
    return m_filter->ended;
}

Opening timeOpening(QWidget* screen)
{
    WaitScreenEnd waited;
    const std::int64_t start = nowNs();
    PaintWatch painted(screen);
    screen->show();
    if (!painted.wait()) {
        qFatal("the screen was not painted");
    }
    const std::int64_t end = nowNs();
    screen->close();
    settle();
    Opening o;
    o.ms = double(end - start) / 1e6;
    o.afterWaitMs = double(end - (waited.endedNs() ? waited.endedNs() : start)) / 1e6;
    return o;
}

bool PaintWatch::wait(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_filter->painted && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return m_filter->painted;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

ProbeReport runProbed(const QString& program, const QStringList& arguments, bool practice,
                      double scale)
{
    ProbeReport report;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        report.error = QStringLiteral("no pipe");
        return report;
    }
    // The child keeps the write end; ours closes on exec.
    const int childFd = fcntl(fds[1], F_DUPFD, 10);

    std::vector<QByteArray> env;
    QByteArray preload = BENCH_PROBE;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("LD_PRELOAD=")) {
            // What the benchmarks run under keeps its own (faketime on a compaction day).
            preload += ':' + entry.mid(int(qstrlen("LD_PRELOAD=")));
        } else if (!entry.startsWith("TAVIRO_PROBE") && !entry.startsWith("QT_SCALE_FACTOR=")) {
            env.push_back(entry);
        }
    }
    env.push_back("LD_PRELOAD=" + preload);
    env.push_back("TAVIRO_PROBE_FD=" + QByteArray::number(childFd));
    if (practice) {
        env.push_back("TAVIRO_PROBE_PRACTICE=1");
    }
    if (scale > 0) {
        env.push_back("QT_SCALE_FACTOR=" + QByteArray::number(scale));
    }
    std::vector<char*> envp;
    for (QByteArray& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString& a : arguments) {
        args.push_back(QFile::encodeName(a));
    }
    std::vector<char*> argv;
    for (QByteArray& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    report.startNs = nowNs();
    const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data());
    close(childFd);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        report.error = QStringLiteral("cannot start %1").arg(program);
        return report;
    }

    QByteArray output;
    const std::int64_t deadline = report.startNs + 60'000'000'000LL;
    while (nowNs() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, 1000);
        if (ready == 0 || (ready < 0 && errno == EINTR)) {
            continue;
        }
        if (ready < 0) {
            break;
        }
        char buffer[512];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break; // the program ended
        }
        output.append(buffer, n);
    }
    close(fds[0]);
    kill(pid, SIGKILL); // ends by itself when it has reported; this covers a hang
    int status = 0;
    waitpid(pid, &status, 0);

    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 4) {
            continue;
        }
        report.loadedNs = parts[3].toLongLong();
        const std::int64_t ns = parts[1].toLongLong();
        const long kib = parts[2].toLong();
        if (parts[0] == "menu") {
            report.menuNs = ns;
            report.menuKiB = kib;
        } else if (parts[0] == "click") {
            report.clickNs = ns;
        } else if (parts[0] == "practice") {
            report.practiceNs = ns;
            report.practiceKiB = kib;
        }
    }
    report.ok = report.menuNs != 0 && (!practice || report.practiceNs != 0);
    if (!report.ok) {
        report.error =
            QStringLiteral("%1 reported no paint: %2").arg(program, QString::fromLocal8Bit(output));
    }
    return report;
}

} // namespace bench

benchmark::internal::Benchmark*
bench::registerTimed(const char* name, void (*function)(benchmark::State&), int repetitions)
{
    return benchmark::RegisterBenchmark(name, function)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

void bench::timeInTurn(benchmark::State& state, const std::function<double()>& program,
                       const std::function<double()>& baseline)
{
    static int turn = 0;
    double ms = 0;
    double base = 0;
    if (turn++ % 2 == 0) {
        ms = program();
        base = baseline();
    } else {
        base = baseline();
        ms = program();
    }
    state.SetIterationTime(ms / 1e3);
    state.counters["ms"] = ms;
    state.counters["baseline_ms"] = base;
}

void bench::readAllRaw(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_BLOB) {
                benchmark::DoNotOptimize(sqlite3_column_blob(st, c));
            } else {
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            }
        }
    }
    sqlite3_finalize(st);
}
