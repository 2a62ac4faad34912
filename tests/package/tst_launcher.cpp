// The package's launcher: each learner gets an application folder of their own with a
// bank of their own, the program starts from there, and a start after an upgrade takes
// the new questions without losing the learner's paper or other tables.
#include "tests/package/KeyedBank.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString shared() const { return m_root.filePath(QStringLiteral("usr/lib/taviro")); }
    QString sharedFile(const QString& name) const { return shared() + QLatin1Char('/') + name; }
    QString launcher() const { return m_root.filePath(QStringLiteral("usr/bin/taviro")); }
    static QString userFolder(const QString& home)
    {
        return home + QStringLiteral("/.local/share/taviro");
    }

    void setVersion(const QByteArray& version)
    {
        QFile file(sharedFile(QStringLiteral("VERSION")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(version + '\n');
    }

    void setSharedBank(const std::vector<BankRow>& rows)
    {
        AppFolder folder;
        folder.writeBank(rows);
        QFile::remove(sharedFile(QStringLiteral("Drive.mdb")));
        QVERIFY(QFile::copy(folder.file(QStringLiteral("Drive.mdb")),
                            sharedFile(QStringLiteral("Drive.mdb"))));
    }

    // Runs the launcher until the menu is painted (the probe then ends the program).
    Run start(const QString& home, const std::function<void(QProcessEnvironment&)>& change = {})
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
        if (change) {
            change(env);
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(launcher(), {});
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

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(QDir().mkpath(shared()));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("usr/bin"))));
        const QString app = QStringLiteral(TAVIRO_APP_DIR) + QLatin1Char('/');
        for (const char* name : {"taviro", "Yes.bmp", "No.bmp", "CLOCK.AVI"}) {
            QVERIFY2(QFile::copy(app + QLatin1String(name), sharedFile(QLatin1String(name))), name);
        }
        QVERIFY(QFile::link(app + QStringLiteral("html"), sharedFile(QStringLiteral("html"))));
        QVERIFY(QFile::copy(QStringLiteral(TAVIRO_REFRESH),
                            sharedFile(QStringLiteral("taviro-refresh"))));
        QVERIFY(QFile::copy(QStringLiteral(TAVIRO_SOURCE_DIR "/packaging/taviro"), launcher()));
        const auto exe = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                         QFileDevice::ReadOther | QFileDevice::ExeOther;
        for (const QString& file : {sharedFile(QStringLiteral("taviro")),
                                    sharedFile(QStringLiteral("taviro-refresh")), launcher()}) {
            QVERIFY(QFile::setPermissions(file, exe));
        }
        setSharedBank(smallBank());
        setVersion("1.0");
    }

    void firstStartMakesTheLearnersFolder()
    {
        QTemporaryDir home;
        const Run run = start(home.path());
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        QCOMPARE(run.code, 0);
        const QString folder = userFolder(home.path());
        // Written files are the learner's own; what is only read is shared.
        for (const char* name : {"taviro", "Drive.mdb"}) {
            const QFileInfo info(folder + QLatin1Char('/') + QLatin1String(name));
            QVERIFY2(info.isFile() && !info.isSymLink(), name);
        }
        for (const char* name : {"Yes.bmp", "No.bmp", "CLOCK.AVI", "html"}) {
            const QFileInfo info(folder + QLatin1Char('/') + QLatin1String(name));
            QVERIFY2(info.isSymLink(), name);
            QCOMPARE(info.symLinkTarget(), sharedFile(QLatin1String(name)));
        }
        QVERIFY(QFileInfo(folder + QStringLiteral("/html/")).isDir());
        Bank bank(folder + QStringLiteral("/Drive.mdb"));
        QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QString::number(smallBank().size()));
        QFile stamp(folder + QStringLiteral("/.version"));
        QVERIFY(stamp.open(QIODevice::ReadOnly));
        QCOMPARE(stamp.readAll(), QByteArray("1.0\n"));
    }

    void laterStartsKeepTheLearnersBank()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString bankPath = userFolder(home.path()) + QStringLiteral("/Drive.mdb");
        writeLearnerBank(bankPath);
        const ino_t before = inode(bankPath);
        const Run run = start(home.path());
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        QCOMPARE(inode(bankPath), before);
        Bank bank(bankPath);
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
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

    void theDataFolderOfTheEnvironmentIsUsed()
    {
        QTemporaryDir data;
        const Run run = start(QString(), [&](QProcessEnvironment& env) {
            env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        });
        QCOMPARE(run.code, 0);
        QVERIFY(QFileInfo(data.filePath(QStringLiteral("taviro/Drive.mdb"))).isFile());
    }

    void anUpgradeTakesTheQuestionsAndKeepsThePaper()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString folder = userFolder(home.path());
        writeLearnerBank(folder + QStringLiteral("/Drive.mdb"));
        // A picture the learner put in place of a shared one stays theirs.
        QFile::remove(folder + QStringLiteral("/No.bmp"));
        QVERIFY(
            QFile::copy(sharedFile(QStringLiteral("Yes.bmp")), folder + QStringLiteral("/No.bmp")));

        setSharedBank(newQuestions());
        setVersion("1.1");
        QFile added(sharedFile(QStringLiteral("NEWS.txt")));
        QVERIFY(added.open(QIODevice::WriteOnly));
        added.write("1.1");
        added.close();
        const Run run = start(home.path());
        QFile::remove(sharedFile(QStringLiteral("NEWS.txt")));
        setSharedBank(smallBank());
        setVersion("1.0");

        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        Bank bank(folder + QStringLiteral("/Drive.mdb"));
        QCOMPARE(bank.column("SELECT ID FROM T_Topic ORDER BY ID"), QStringLiteral("1|2|3|9"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT ID || ':' || Times FROM T_WrongBook"), QStringLiteral("2:3"));
        QVERIFY(QFileInfo(folder + QStringLiteral("/NEWS.txt")).isSymLink());
        QVERIFY(!QFileInfo(folder + QStringLiteral("/No.bmp")).isSymLink());
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/.Drive.mdb.new")));
        QFile stamp(folder + QStringLiteral("/.version"));
        QVERIFY(stamp.open(QIODevice::ReadOnly));
        QCOMPARE(stamp.readAll(), QByteArray("1.1\n"));
    }

    void aFailedRefreshKeepsTheBankAndStillStarts()
    {
        QTemporaryDir home;
        QCOMPARE(start(home.path()).code, 0);
        const QString bankPath = userFolder(home.path()) + QStringLiteral("/Drive.mdb");
        writeLearnerBank(bankPath);
        QFile shared(sharedFile(QStringLiteral("Drive.mdb")));
        QVERIFY(shared.open(QIODevice::ReadOnly));
        const QByteArray good = shared.readAll();
        shared.close();
        QVERIFY(shared.open(QIODevice::WriteOnly | QIODevice::Truncate));
        shared.write(QByteArray(4096, 'x'));
        shared.close();
        setVersion("1.2");
        const Run run = start(home.path());
        QVERIFY(shared.open(QIODevice::WriteOnly | QIODevice::Truncate));
        shared.write(good);
        shared.close();
        setVersion("1.0");

        QVERIFY2(run.err.contains(QStringLiteral("题库未能更新")), qPrintable(run.err));
        QVERIFY2(run.out.startsWith(QLatin1String("menu ")), qPrintable(run.out + run.err));
        Bank bank(bankPath);
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QString::number(smallBank().size()));
        QFile stamp(userFolder(home.path()) + QStringLiteral("/.version"));
        QVERIFY(stamp.open(QIODevice::ReadOnly));
        QCOMPARE(stamp.readAll(), QByteArray("1.0\n")); // the next start tries again
    }

    void aFolderThatCannotBeMadeIsReported()
    {
        QTemporaryDir home;
        QFile blocker(home.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Run run = start(home.path(), [&](QProcessEnvironment& env) {
            env.insert(QStringLiteral("XDG_DATA_HOME"),
                       blocker.fileName() + QStringLiteral("/data"));
        });
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("无法建立学员文件夹")), qPrintable(run.err));
        QVERIFY(!run.out.contains(QLatin1String("menu")));
    }

    void noHomeIsReported()
    {
        const Run run = start(QString());
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("找不到用户的主目录")), qPrintable(run.err));
    }

    void aBrokenInstallationIsReported()
    {
        QTemporaryDir home;
        QVERIFY(QFile::rename(sharedFile(QStringLiteral("Drive.mdb")),
                              sharedFile(QStringLiteral("Drive.mdb.away"))));
        const Run run = start(home.path());
        QVERIFY(QFile::rename(sharedFile(QStringLiteral("Drive.mdb.away")),
                              sharedFile(QStringLiteral("Drive.mdb"))));
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("重新安装")), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(userFolder(home.path())));
    }
};

TAVIRO_TEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
