// The package's launcher: each learner gets a folder of their own with a bank of their
// own, the installed program starts on it, and a start after an upgrade takes the new
// questions without losing the learner's paper or other tables.
#include "tests/package/KeyedBank.h"
#include "tests/support/TestSupport.h"
#include "toolkit/FolderLock.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace testing;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

ino_t inode(const QString& path)
{
    struct stat info
    {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

unsigned modeOf(const QString& path)
{
    struct stat info
    {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The files of a folder, without the journal the program leaves beside its bank when
// the probe ends it.
QStringList filesOf(const QString& folder, QDir::Filters filters = {})
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | filters);
    names.removeIf([](const QString& n) {
        return n.endsWith(QLatin1String("-wal")) || n.endsWith(QLatin1String("-shm"));
    });
    return names;
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString lib(const QString& name = QString()) const
    {
        return m_root.filePath(QStringLiteral("usr/lib/taviro/") + name);
    }
    QString share(const QString& name = QString()) const
    {
        return m_root.filePath(QStringLiteral("usr/share/taviro/") + name);
    }
    QString launcher() const { return m_root.filePath(QStringLiteral("usr/bin/taviro")); }
    static QString userFolder(const QString& home)
    {
        return home + QStringLiteral("/.local/share/taviro");
    }

    void setVersion(const QByteArray& version)
    {
        QFile file(share(QStringLiteral("VERSION")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(version + '\n');
    }

    void setSharedBank(const std::vector<BankRow>& rows)
    {
        AppFolder folder;
        folder.writeBank(rows);
        QFile::remove(share(QStringLiteral("Drive.mdb")));
        QVERIFY(QFile::copy(folder.file(QStringLiteral("Drive.mdb")),
                            share(QStringLiteral("Drive.mdb"))));
    }

    QProcessEnvironment environment(const QString& home) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVIRO_PROBE_FD"), QStringLiteral("1"));
        if (!home.isEmpty()) {
            env.insert(QStringLiteral("HOME"), home);
        }
        // The launcher's tools load it too, but only a Qt program with a window reports.
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TAVIRO_START_PROBE));
        return env;
    }

    static Run finish(QProcess& process)
    {
        Run run;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
        }
        run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // Runs the launcher until the menu is painted (the probe then ends the program).
    Run start(const QString& home, const std::function<void(QProcessEnvironment&)>& change = {})
    {
        QProcessEnvironment env = environment(home);
        if (change) {
            change(env);
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(launcher(), {});
        return finish(process);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(QDir().mkpath(lib()));
        QVERIFY(QDir().mkpath(share()));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("usr/bin"))));
        const QString app = QStringLiteral(TAVIRO_APP_DIR) + QLatin1Char('/');
        QVERIFY(QFile::copy(app + QStringLiteral("taviro"), lib(QStringLiteral("taviro"))));
        for (const char* name : {"Yes.bmp", "No.bmp", "CLOCK.AVI"}) {
            QVERIFY2(QFile::copy(app + QLatin1String(name), share(QLatin1String(name))), name);
        }
        QVERIFY(QFile::link(app + QStringLiteral("html"), share(QStringLiteral("html"))));
        QVERIFY(QFile::copy(QStringLiteral(TAVIRO_REFRESH), lib(QStringLiteral("taviro-refresh"))));
        QVERIFY(QFile::copy(QStringLiteral(TAVIRO_SOURCE_DIR "/packaging/taviro"), launcher()));
        const auto exe = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                         QFileDevice::ReadOther | QFileDevice::ExeOther;
        for (const QString& file :
             {lib(QStringLiteral("taviro")), lib(QStringLiteral("taviro-refresh")), launcher()}) {
            QVERIFY(QFile::setPermissions(file, exe));
        }
        setSharedBank(smallBank());
        setVersion("1.1");
    }

    void firstStartMakesTheLearnersFolder()
    {
        QTemporaryDir home;
        const Run run = start(home.path());
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        QCOMPARE(run.code, 0);
        const QString folder = userFolder(home.path());
        QCOMPARE(modeOf(folder), 0700u);
        // Only the bank is the learner's; the program and what it only reads stay installed.
        const QFileInfo bank(folder + QStringLiteral("/Drive.mdb"));
        QVERIFY(bank.isFile() && !bank.isSymLink());
        QCOMPARE(filesOf(folder), QStringList({QStringLiteral("Drive.mdb")}));
        Bank learner(bank.filePath());
        QCOMPARE(learner.column("SELECT count(*) FROM T_Topic"),
                 QString::number(smallBank().size()));
        QCOMPARE(readText(folder + QStringLiteral("/.version")), QStringLiteral("1.1\n"));

        // Later starts keep it.
        writeLearnerBank(bank.filePath());
        const ino_t before = inode(bank.filePath());
        const Run again = start(home.path());
        QVERIFY2(again.out.startsWith(QLatin1String("menu ")), qPrintable(again.out + again.err));
        QCOMPARE(inode(bank.filePath()), before);
        QCOMPARE(learner.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
    }

    void twoLearnersHaveTwoBanks()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QCOMPARE(start(first.path()).code, 0);
        QCOMPARE(start(second.path()).code, 0);
        const QString a = userFolder(first.path()) + QStringLiteral("/Drive.mdb");
        const QString b = userFolder(second.path()) + QStringLiteral("/Drive.mdb");
        writeLearnerBank(a);
        QVERIFY(inode(a) != inode(b));
        Bank other(b);
        QCOMPARE(other.column("SELECT count(*) FROM T_WrongBook"), QStringLiteral("<error>"));
    }

    void onlyAnAbsoluteDataHomeIsUsed_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<bool>("used");
        QTest::newRow("absolute") << QStringLiteral("%t/data") << true;
        QTest::newRow("relative") << QStringLiteral("data") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void onlyAnAbsoluteDataHomeIsUsed()
    {
        QFETCH(QString, dataHome);
        QFETCH(bool, used);
        QTemporaryDir home;
        QTemporaryDir elsewhere;
        dataHome.replace(QLatin1String("%t"), elsewhere.path());
        QProcess process;
        QProcessEnvironment env = environment(home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(elsewhere.path());
        process.start(launcher(), {});
        const Run run = finish(process);
        QCOMPARE(run.code, 0);
        const QString given = used ? dataHome : elsewhere.filePath(QStringLiteral("data"));
        QCOMPARE(QFileInfo::exists(given + QStringLiteral("/taviro/Drive.mdb")), used);
        QCOMPARE(QFileInfo::exists(userFolder(home.path()) + QStringLiteral("/Drive.mdb")), !used);
    }

    void fourFirstStartsAtOnce()
    {
        QTemporaryDir home;
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 4; ++i) {
            starts.push_back(std::make_unique<QProcess>());
            starts.back()->setProcessEnvironment(environment(home.path()));
            starts.back()->start(launcher(), {});
        }
        for (auto& process : starts) {
            const Run run = finish(*process);
            // Each paints the menu, or hands over to the one that does; none has to say
            // anything to the learner.
            QVERIFY2(run.code == 0 && !run.err.contains(QStringLiteral("机动车驾驶人理论学习系统")),
                     qPrintable(run.out + run.err));
        }
        const QString folder = userFolder(home.path());
        QCOMPARE(filesOf(folder, QDir::Hidden),
                 QStringList({QStringLiteral(".taviro.lock"), QStringLiteral(".version"),
                              QStringLiteral("Drive.mdb")}));
        Bank bank(folder + QStringLiteral("/Drive.mdb"));
        QCOMPARE(bank.column("PRAGMA integrity_check"), QStringLiteral("ok"));
    }

    void aHomeWithoutExecutablesServes()
    {
        QTemporaryDir home;
        if (::mount("tmpfs", QFile::encodeName(home.path()).constData(), "tmpfs",
                    MS_NOEXEC | MS_NOSUID | MS_NODEV, "size=64m,mode=0755") != 0) {
            QSKIP("no tmpfs can be mounted here");
        }
        const Run run = start(home.path());
        ::umount2(QFile::encodeName(home.path()).constData(), MNT_DETACH);
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        QCOMPARE(run.code, 0);
    }

    void anUpgradeTakesTheQuestionsAndKeepsThePaper()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString folder = userFolder(home.path());
        writeLearnerBank(folder + QStringLiteral("/Drive.mdb"));
        // What the first release kept in the folder: its own copy of the program and links
        // into the installed folder; and a picture the learner put in the place of one.
        QVERIFY(QFile::copy(lib(QStringLiteral("taviro")), folder + QStringLiteral("/taviro")));
        QVERIFY(QFile::link(lib(QStringLiteral("Yes.bmp")), folder + QStringLiteral("/Yes.bmp")));
        QVERIFY(QFile::copy(share(QStringLiteral("Yes.bmp")), folder + QStringLiteral("/No.bmp")));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));

        setSharedBank(newQuestions());
        setVersion("1.2");
        const Run run = start(home.path());
        setSharedBank(smallBank());
        setVersion("1.1");

        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        Bank bank(folder + QStringLiteral("/Drive.mdb"));
        QCOMPARE(bank.column("SELECT ID FROM T_Topic ORDER BY ID"), QStringLiteral("1|2|3|9"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT ID || ':' || Times FROM T_WrongBook"), QStringLiteral("2:3"));
        QCOMPARE(filesOf(folder),
                 QStringList({QStringLiteral("Drive.mdb"), QStringLiteral("No.bmp")}));
        QCOMPARE(modeOf(folder), 0700u);
        QCOMPARE(readText(folder + QStringLiteral("/.version")), QStringLiteral("1.2\n"));
    }

    void aRunningProgramsBankIsNotRefreshed()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString folder = userFolder(home.path());
        writeLearnerBank(folder + QStringLiteral("/Drive.mdb"));
        setSharedBank(newQuestions());
        setVersion("1.2");

        // The running program: it owns the folder and is asked to come to the front.
        FolderLock running(folder);
        QCOMPARE(running.state(), FolderLock::State::Owner);
        int raised = 0;
        running.serve([&] { ++raised; });
        QProcess process;
        process.setProcessEnvironment(environment(home.path()));
        QEventLoop loop;
        connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        process.start(launcher(), {});
        loop.exec();
        const Run run = finish(process);
        setSharedBank(smallBank());
        setVersion("1.1");

        QCOMPARE(run.code, 0);
        QCOMPARE(raised, 1);
        QVERIFY(!run.out.contains(QLatin1String("menu")));
        Bank bank(folder + QStringLiteral("/Drive.mdb"));
        QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QString::number(smallBank().size()));
        QCOMPARE(readText(folder + QStringLiteral("/.version")), QStringLiteral("1.1\n"));
    }

    void aFailedRefreshKeepsTheBankAndStillStarts()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString bankPath = userFolder(home.path()) + QStringLiteral("/Drive.mdb");
        writeLearnerBank(bankPath);
        QFile shared(share(QStringLiteral("Drive.mdb")));
        QVERIFY(shared.open(QIODevice::ReadOnly));
        const QByteArray good = shared.readAll();
        shared.close();
        QVERIFY(shared.open(QIODevice::WriteOnly | QIODevice::Truncate));
        shared.write(QByteArray(4096, 'x'));
        shared.close();
        setVersion("1.3");
        const Run run = start(home.path());
        QVERIFY(shared.open(QIODevice::WriteOnly | QIODevice::Truncate));
        shared.write(good);
        shared.close();
        setVersion("1.1");

        // The reason is told, and the learner goes on with the questions they had.
        QVERIFY2(run.err.contains(QStringLiteral("题库未能更新")) &&
                     run.err.contains(QStringLiteral("无法打开新题库")),
                 qPrintable(run.err));
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        Bank bank(bankPath);
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QString::number(smallBank().size()));
        QCOMPARE(readText(userFolder(home.path()) + QStringLiteral("/.version")),
                 QStringLiteral("1.1\n")); // the next start tries again
        QVERIFY(QDir(userFolder(home.path()))
                    .entryList({QStringLiteral(".Drive.mdb*")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
    }

    void foldersThatCannotServeAreReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("a file on the way")
            << QStringLiteral("file") << QStringLiteral("不是文件夹");
        QTest::newRow("no home") << QStringLiteral("nohome")
                                 << QStringLiteral("找不到用户的主目录");
        QTest::newRow("a broken installation")
            << QStringLiteral("broken") << QStringLiteral("重新安装");
    }

    void foldersThatCannotServeAreReported()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir home;
        QFile blocker(home.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        if (kind == QLatin1String("broken")) {
            QVERIFY(QFile::rename(share(QStringLiteral("Drive.mdb")),
                                  share(QStringLiteral("Drive.mdb.away"))));
        }
        const Run run = start(kind == QLatin1String("nohome") ? QString() : home.path(),
                              [&](QProcessEnvironment& env) {
                                  if (kind == QLatin1String("file")) {
                                      env.insert(QStringLiteral("XDG_DATA_HOME"),
                                                 blocker.fileName() + QStringLiteral("/data"));
                                  }
                              });
        if (kind == QLatin1String("broken")) {
            QVERIFY(QFile::rename(share(QStringLiteral("Drive.mdb.away")),
                                  share(QStringLiteral("Drive.mdb"))));
        }
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!run.out.contains(QLatin1String("menu")));
        QVERIFY(!QFileInfo::exists(userFolder(home.path())));
    }
};

TAVIRO_TEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
