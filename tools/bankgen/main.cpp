// Builds Drive.mdb from the question sources in assets/bank and the questions of the
// fact tables in assets/bank/facts (subject one, T_Topic), and from the records in
// assets/bank/km4 (subject four, T_SafeTopic); a bank that fails the check is not written.
// With --keys, prints the record of a built bank's questions that keys-1.0.txt holds.
#include "exampaper/ExamPaper.h"
#include "gui/Fonts.h"
#include "tools/art/SceneClips.h"
#include "tools/art/SceneKit.h"
#include "tools/bank/BankBuilder.h"
#include "tools/bank/BankCheck.h"
#include "tools/bank/BankKeys.h"
#include "tools/bank/CueCheck.h"

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

// The check takes each subject's plan from its exam format.
std::vector<PlanShare> sharesOf(const std::vector<TExam>& plan)
{
    std::vector<PlanShare> shares;
    for (const TExam& row : plan) {
        shares.push_back({row.Count, row.Condition});
    }
    return shares;
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
    std::vector<SourceQuestion> safeQuestions;
    QStringList errors;
    std::vector<BankRow> rows;
    std::vector<BankRow> safeRows;
    KeyRecords keys;
    const bool parsed = parseBankFolder(folder, &questions, &errors);
    const bool safeParsed = parseSubjectFourFolder(folder, &safeQuestions, &errors);
    const bool keysRead = readKeyRecords(folder, &keys, &errors);
    const bool drawn = parsed && rowsFromSources(questions, &rows, &errors);
    const bool safeDrawn = safeParsed && rowsFromSources(safeQuestions, &safeRows, &errors);
    if (!drawn || !safeDrawn || !keysRead) {
        for (const QString& e : errors) {
            std::fprintf(stderr, "bankgen: %s\n", qPrintable(e));
        }
        return 1;
    }
    const QuestionPlaces places = placesOf(folder, questions);
    const QuestionPlaces safePlaces = placesOf(folder, safeQuestions);
    const std::vector<PlanShare> plan = sharesOf(ExamPlan);
    const std::vector<PlanShare> safePlan = sharesOf(subjectFour().plan);
    const CueReport cues = checkCues(rows, plan, places);
    for (const QString& line : describeCues(cues)) {
        std::printf("bankgen: %s\n", qPrintable(line));
    }
    // Keys are unique over both subjects: the questions go through one check.
    std::vector<SourceQuestion> everyQuestion = questions;
    everyQuestion.insert(everyQuestion.end(), safeQuestions.begin(), safeQuestions.end());
    // A fault in any scene or clip description stops the build, used or not yet.
    QStringList problems = sceneFaults() + clipFaults() + checkBank(rows, plan, places) +
                           checkKeys(everyQuestion, keys) + cues.problems;
    if (!safeRows.empty()) {
        const CueReport safeCues = checkSubjectFourCues(safeRows, safePlan, safePlaces);
        std::printf("bankgen: subject four (%s):\n", qPrintable(subjectFourFolder()));
        for (const QString& line : describeCues(safeCues)) {
            std::printf("bankgen: %s\n", qPrintable(line));
        }
        QStringList warnings;
        problems += checkSubjectFour(safeRows, safePlan, safePlaces, &warnings) + safeCues.problems;
        for (const QString& w : warnings) {
            std::printf("bankgen: warning: subject four: %s\n", qPrintable(w));
        }
    }
    if (!problems.isEmpty()) {
        for (const QString& p : problems) {
            std::fprintf(stderr, "bankgen: %s\n", qPrintable(p));
        }
        std::fprintf(stderr, "bankgen: %lld problems; the bank was not written\n",
                     static_cast<long long>(problems.size()));
        return 1;
    }
    QString error;
    if (!writeBank(QString::fromLocal8Bit(argv[2]), rows, safeRows, &error)) {
        std::fprintf(stderr, "bankgen: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bankgen: %zu questions, %zu of subject four\n", rows.size(), safeRows.size());
    return 0;
}
