// Builds Drive.mdb from the question sources in assets/bank and the questions of the
// fact tables in assets/bank/facts; a bank that fails the check is not written.
// With --keys, prints the record of a built bank's questions that keys-1.0.txt holds.
#include "exam/ExamPaper.h"
#include "toolkit/Fonts.h"
#include "tools/art/SceneKit.h"
#include "tools/bank/BankBuilder.h"
#include "tools/bank/BankCheck.h"
#include "tools/bank/BankKeys.h"
#include "tools/bank/CueCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

namespace {

int printKeys(const QString& bank)
{
    std::vector<BankRow> rows;
    QString error;
    if (!readBank(bank, &rows, &error)) {
        std::fprintf(stderr, "bankgen: %s: %s\n", qPrintable(bank), qPrintable(error));
        return 1;
    }
    if (rows.empty() || rows.front().key.isEmpty()) {
        std::fprintf(stderr, "bankgen: %s has no question keys (QKey)\n", qPrintable(bank));
        return 1;
    }
    for (const QString& line : releasedKeyLines(rows)) {
        std::printf("%s\n", line.toUtf8().constData());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Reading a bank draws nothing: it needs no screen.
    if (argc == 3 && argv[1] == QByteArrayView("--keys")) {
        return printKeys(QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv); // the pictures are drawn with fonts
    if (argc != 3) {
        std::fprintf(stderr, "usage: bankgen SOURCE_FOLDER OUTPUT_FILE\n"
                             "       bankgen --keys BANK\n");
        return 2;
    }
    installFontSubstitutes();
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::vector<SourceQuestion> questions;
    QStringList errors;
    std::vector<BankRow> rows;
    KeyRecords keys;
    const bool parsed = parseBankFolder(folder, &questions, &errors);
    const bool keysRead = readKeyRecords(folder, &keys, &errors);
    if (!parsed || !rowsFromSources(questions, &rows, &errors) || !keysRead) {
        for (const QString& e : errors) {
            std::fprintf(stderr, "bankgen: %s\n", qPrintable(e));
        }
        return 1;
    }
    QuestionPlaces places;
    const QDir root(folder);
    for (const SourceQuestion& q : questions) {
        places[q.id] = QStringLiteral("%1:%2")
                           .arg(root.relativeFilePath(QFileInfo(q.file).absoluteFilePath()))
                           .arg(q.line);
    }
    std::vector<PlanShare> plan;
    for (const TExam& row : ExamPlan) {
        plan.push_back({row.Count, row.Condition});
    }
    const CueReport cues = checkCues(rows, plan, places);
    for (const QString& line : describeCues(cues)) {
        std::printf("bankgen: %s\n", qPrintable(line));
    }
    // A fault in any scene description stops the build, used or not yet.
    const QStringList problems =
        sceneFaults() + checkBank(rows, plan, places) + checkKeys(questions, keys) + cues.problems;
    if (!problems.isEmpty()) {
        for (const QString& p : problems) {
            std::fprintf(stderr, "bankgen: %s\n", qPrintable(p));
        }
        std::fprintf(stderr, "bankgen: %lld problems; the bank was not written\n",
                     static_cast<long long>(problems.size()));
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
