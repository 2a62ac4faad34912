// The package's helper beside the program:
//
//   taviro-refresh LEARNER_BANK NEW_BANK    takes the new bank's questions into the
//                                           learner's bank, keeping everything else;
//                                           prints "questions=N", "dropped=N" (learner
//                                           rows whose question is gone) and "cleared=N"
//                                           (answers that no longer fit their question)
//   taviro-refresh --message TEXT           shows TEXT on stderr and, with a display,
//                                           in a message box with the error icon
//   taviro-refresh --note TEXT              the same with the information icon
#include "gui/Fonts.h"
#include "tools/refresh/BankRefresh.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace {

int showMessage(int argc, char** argv, const QString& text, QMessageBox::Icon icon)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (display) {
        QApplication app(argc, argv);
        installFontSubstitutes();
        installChineseTranslation();
        QMessageBox box(icon, QStringLiteral("机动车驾驶人理论学习系统"), text, QMessageBox::Ok);
        box.exec();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && (QByteArray(argv[1]) == "--message" || QByteArray(argv[1]) == "--note")) {
        return showMessage(argc, argv, QString::fromLocal8Bit(argv[2]),
                           QByteArray(argv[1]) == "--note" ? QMessageBox::Information
                                                           : QMessageBox::Critical);
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: taviro-refresh LEARNER_BANK NEW_BANK\n"
                             "       taviro-refresh --message|--note TEXT\n");
        return 2;
    }
    QString error;
    RefreshReport report;
    if (!refreshBank(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                     firstReleaseKeys(), &report, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("questions=%d\ndropped=%d\ncleared=%d\n", report.questions, report.dropped,
                report.cleared);
    return 0;
}
