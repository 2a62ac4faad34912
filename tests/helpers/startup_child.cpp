// A program start-up reduced to the data module, run in a process of its own so that
// tests can kill it half-way or run it as another user.
//
//   startup_child <application folder> <yyyy-MM-dd> [<uid>]
//
// With a uid it first becomes that user. Prints "go" just before the data module is
// created, then "open" or "failed" and the milliseconds the creation took.
#include "data/Clock.h"
#include "data/DMUnit.h"

#include <QDate>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
struct CountingHost : TDM::Host
{
    int failures = 0;
    void connectionFailed() override { ++failures; }
};
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s folder yyyy-MM-dd [uid]\n", argv[0]);
        return 2;
    }
    if (argc > 3) {
        const auto id = static_cast<uid_t>(std::strtoul(argv[3], nullptr, 10));
        if (setgid(id) != 0 || setuid(id) != 0) {
            return 3;
        }
    }
    const QDate date = QDate::fromString(QString::fromLocal8Bit(argv[2]), Qt::ISODate);
    FixedClock clock(date);
    CountingHost host;
    TDM dm(QString::fromLocal8Bit(argv[1]), clock, host);
    std::printf("go\n");
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    dm.DataModuleCreate();
    const bool open = dm.ADOCon.connected() && host.failures == 0;
    std::printf("%s %lld\n", open ? "open" : "failed", static_cast<long long>(timer.elapsed()));
    return open ? 0 : 1;
}
