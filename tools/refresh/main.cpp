// The package's helper beside the program:
//
//   taviro-refresh LEARNER_BANK NEW_BANK    takes the new bank's questions into the
//                                           learner's bank, keeping everything else
//   taviro-refresh --message TEXT           shows TEXT on stderr and, with a display,
//                                           in a message box
#include "tools/refresh/BankRefresh.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace {

int showMessage(int argc, char** argv, const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (display) {
        QApplication app(argc, argv);
        QMessageBox::critical(nullptr, QStringLiteral("机动车驾驶人理论学习系统"), text);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--message") {
        return showMessage(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: taviro-refresh LEARNER_BANK NEW_BANK\n"
                             "       taviro-refresh --message TEXT\n");
        return 2;
    }
    QString error;
    const int questions =
        refreshBank(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &error);
    if (questions < 0) {
        std::fprintf(stderr, "taviro-refresh: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%d\n", questions);
    return 0;
}
