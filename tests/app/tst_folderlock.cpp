// One program per data folder: a second start hands over to the running one and leaves
// its bank, paper and files as they were; a program that was killed blocks nothing.
#include "tests/support/ExamSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/FolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <sys/stat.h>

using namespace testing;

namespace {

QProcessEnvironment offscreen()
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("TAVIRO_DATA_DIR"));
    return env;
}

// An exam in a process of its own that owns the folder.
class ExamChild
{
public:
    explicit ExamChild(const QString& folder, int answers)
    {
        m_process.setProgram(QStringLiteral(TAVIRO_EXAM_CHILD));
        m_process.setArguments({folder, QString::number(answers)});
        m_process.setProcessEnvironment(offscreen());
        m_process.start();
    }
    ~ExamChild()
    {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished();
        }
    }
    // The next line it prints, or an empty one after a while.
    QString line()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(20000)) {
                return QString();
            }
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void ask(const QByteArray& command) { m_process.write(command + '\n'); }
    void kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// What a second start could have changed: the folder's files with their sizes and
// times, the bank's file and the paper.
QString snapshot(const ExamFixture& f)
{
    QStringList files;
    const QDir dir(f.folder.path());
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        struct stat st
        {};
        ::stat(QFile::encodeName(info.filePath()).constData(), &st);
        // The shared memory index is written by every reader, this test's too.
        const bool readersWrite = info.fileName().endsWith(QLatin1String("-shm"));
        files << QStringLiteral("%1 %2 %3 %4")
                     .arg(info.fileName())
                     .arg(st.st_ino)
                     .arg(readersWrite ? 0 : st.st_size)
                     .arg(readersWrite ? 0 : st.st_mtim.tv_nsec + st.st_mtim.tv_sec * 1000000000LL);
    }
    return files.join(QLatin1Char('\n')) + QLatin1Char('\n') +
           f.scalar(QStringLiteral("SELECT group_concat(ID || ':' || TopicNo || ':' || "
                                   "COALESCE(Result, ''), ',') FROM T_TopicTmp"))
               .toString();
}

} // namespace

class TestFolderLock : public QObject
{
    Q_OBJECT

private slots:
    void aSecondStartHandsOverAndChangesNothing_data()
    {
        QTest::addColumn<QString>("date");
        QTest::newRow("an ordinary day") << QStringLiteral("2026-12-08");
        QTest::newRow("a compaction day") << QStringLiteral("2026-12-10");
    }

    void aSecondStartHandsOverAndChangesNothing()
    {
        QFETCH(QString, date);
        ExamFixture f;
        ExamChild first(f.folder.path(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!first.line().isEmpty());
        }
        const QString before = snapshot(f);

        QProcess second;
        second.setProcessEnvironment(offscreen());
        second.start(QStringLiteral(TAVIRO_PROGRAM_CHILD),
                     {date, QStringLiteral("--data-dir"), f.folder.path()});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.line(), QStringLiteral("raised"));
        QCOMPARE(snapshot(f), before);
        QVERIFY(!QFileInfo::exists(f.folder.file(QStringLiteral("Drive.mdb#####"))));

        // The first program still writes its answers into the live file.
        first.ask("answer");
        const QStringList answer = first.line().split(QLatin1Char(' '));
        QCOMPARE(answer.size(), 2);
        QCOMPARE(f.storedAnswer(answer[0].toInt()), answer[1]);
        QCOMPARE(answer[0], QStringLiteral("4"));
    }

    void aKilledProgramBlocksNothing()
    {
        ExamFixture f;
        ExamChild killed(f.folder.path(), 1);
        QVERIFY(!killed.line().isEmpty());
        {
            FolderLock taken(f.folder.path());
            QCOMPARE(taken.state(), FolderLock::State::Running);
        }
        killed.kill();
        QVERIFY(QFileInfo::exists(FolderLock::lockFile(f.folder.path())));
        FolderLock next(f.folder.path());
        QCOMPARE(next.state(), FolderLock::State::Owner);
        // While this one owns the folder no other may; another folder is another matter.
        ExamChild refused(f.folder.path(), 0);
        QVERIFY(refused.process().waitForFinished(20000));
        QCOMPARE(refused.process().exitCode(), 4);
        AppFolder other;
        FolderLock elsewhere(other.path());
        QCOMPARE(elsewhere.state(), FolderLock::State::Owner);
    }
};

TAVIRO_TEST_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
