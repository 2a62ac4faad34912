// The program itself on a day a test chooses:
//   program_child <yyyy-MM-dd> [program arguments]
#include "app/Program.h"
#include "data/Clock.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    const FixedClock clock(QDate::fromString(QString::fromLatin1(argv[1]), Qt::ISODate));
    argv[1] = argv[0];
    return runProgram(argc - 1, argv + 1, clock);
}
