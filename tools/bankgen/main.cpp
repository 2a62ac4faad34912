// Builds Drive.mdb from the question sources in assets/bank.
#include "toolkit/Fonts.h"
#include "tools/bank/BankBuilder.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // the pictures are drawn with fonts
    if (argc != 3) {
        std::fprintf(stderr, "usage: bankgen SOURCE_FOLDER OUTPUT_FILE\n");
        return 2;
    }
    installFontSubstitutes();
    std::vector<SourceQuestion> questions;
    QStringList errors;
    std::vector<BankRow> rows;
    const bool parsed = parseBankFolder(QString::fromLocal8Bit(argv[1]), &questions, &errors);
    if (!parsed || !rowsFromSources(questions, &rows, &errors)) {
        for (const QString& e : errors) {
            std::fprintf(stderr, "bankgen: %s\n", qPrintable(e));
        }
        return 1;
    }
    QString error;
    if (!writeBank(QString::fromLocal8Bit(argv[2]), rows, &error)) {
        std::fprintf(stderr, "bankgen: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bankgen: %zu questions\n", rows.size());
    return 0;
}
