// An exam in a process of its own, so that a test can kill it the moment an answer is
// given:  exam_child <application folder> <number of answers>
// Prints "<TopicNo> <answer>" when each answer click has returned.
//        exam_child <application folder> <number of answers> handin
// then hands the paper in and prints "shown" once the result screen is up.
#include "app/Program.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {
struct Host : TDM::Host
{
    void connectionFailed() override { std::exit(3); }
};
} // namespace

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        return 2;
    }
    prepareEnvironment();
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int answers = std::atoi(argv[2]);
    setApplicationDirectory(folder);
    FixedClock clock(QDate(2026, 12, 8));
    Host host;
    DM = new TDM(folder, clock, host);
    DM->DataModuleCreate();
    auto* exam = new TFrm_SimulateExam(nullptr);
    exam->show();
    Label* areas[] = {exam->lblA, exam->lblB, exam->lblC, exam->lblD};
    for (int i = 0; i < answers; ++i) {
        Label* area = areas[i % 4];
        if (!area->isVisible()) {
            area = exam->lblA;
        }
        exam->lblAClick(area);
        std::printf("%d %s\n", DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asInteger(),
                    qPrintable(DM->ADOQuery1.fieldByName(QStringLiteral("Result")).asString()));
        std::fflush(stdout);
        exam->lblNextClick(exam->lblNext);
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
    // Waits to be killed.
    while (true) {
        QThread::sleep(1);
    }
}
