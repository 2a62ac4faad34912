// An exam in a process of its own, so that a test can kill it the moment an answer is
// given, or start the program beside it:
//   exam_child <application folder> <number of answers>
// Prints "<TopicNo> <answer>" when each answer click has returned; then each line
// "answer" on its standard input gives one more answer. Like the program it holds the
// folder's lock (it ends with 4 when another program holds it) and prints "raised" when
// a later start asks it to come to the front.
//        exam_child <application folder> <number of answers> handin
// then hands the paper in and prints "shown" once the result screen is up.
#include "app/Program.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"
#include "toolkit/FolderLock.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
struct Host : TDM::Host
{
    void connectionFailed() override { std::exit(3); }
};
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    FolderLock lock(folder);
    if (lock.state() != FolderLock::State::Owner) {
        return 4;
    }
    GuardedApplication app(argc, argv);
    prepareEnvironment();
    lock.serve([] {
        std::printf("raised\n");
        std::fflush(stdout);
    });
    const int answers = std::atoi(argv[2]);
    setApplicationDirectory(folder);
    FixedClock clock(QDate(2026, 12, 8));
    Host host;
    DM = new TDM(folder, clock, host);
    DM->DataModuleCreate();
    auto* exam = new TFrm_SimulateExam(nullptr);
    exam->show();
    int given = 0;
    auto answerOne = [&] {
        Label* areas[] = {exam->lblA, exam->lblB, exam->lblC, exam->lblD};
        Label* area = areas[given++ % 4];
        if (!area->isVisible()) {
            area = exam->lblA;
        }
        exam->lblAClick(area);
        std::printf("%d %s\n", DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asInteger(),
                    qPrintable(DM->ADOQuery1.fieldByName(QStringLiteral("Result")).asString()));
        std::fflush(stdout);
        exam->lblNextClick(exam->lblNext);
    };
    for (int i = 0; i < answers; ++i) {
        answerOne();
    }
    if (argc == 4) {
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [] {
            if (qobject_cast<TFrm_MoLiKaoShiPingFen*>(QApplication::activeModalWidget())) {
                std::printf("shown\n");
                std::fflush(stdout);
                while (true) {
                    QThread::sleep(1);
                }
            }
        });
        poll.start();
        exam->HandInExam();
    }
    // Answers on request until it is killed.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[64];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            if (pending.left(end) == "answer") {
                answerOne();
            }
            pending.remove(0, end + 1);
        }
    });
    return app.exec();
}
