#pragma once

#include "data/Clock.h"
#include "data/DMUnit.h"
#include "tests/support/TestSupport.h"

#include <memory>

class TFrm_SafeExam;
class TFrm_SimulateExam;

namespace testing {

// A bank that fills every row of the draw plan factor times over, choice and true/false
// answers spread, plus questions at 1066, 1450, 1501 and 1601 that no paper may hold.
std::vector<BankRow> planBank(int factor = 2);

// Subject four's tables (where missing) and perCell questions of each kind in each
// chapter, numbered kind by kind and chapter by chapter: single choices first (answer B,
// with their options), then statements (×), then multiple answers (ACD); each with an
// explanation and a source. Statements to run on the bank.
QStringList safeBankSql(int perCell);
// A clip that plays: the wait screen's clock of the build, as a blob literal of SQL.
QString playableClipLiteral();

// An application folder with a bank, the wait screen's clip and the data module, as the
// exam screens find them at run time.
class ExamFixture
{
public:
    explicit ExamFixture(const std::vector<BankRow>& rows = planBank());
    ~ExamFixture();

    AppFolder folder;

    // Creates the exam screen and shows it without a modal loop: the paper is drawn.
    TFrm_SimulateExam* showExam(const QString& number = QStringLiteral("12345678"));
    // The same for subject four, whose questions safeBankSql(perCell) adds to the bank.
    TFrm_SafeExam* showSafeExam(int perCell = 3);

    // Reads the stored paper through a connection of its own.
    QVariant scalar(const QString& sql) const { return folder.scalar(sql); }
    int count(const QString& sql) const { return scalar(sql).toInt(); }
    QString storedAnswer(int topicNo) const;
    void exec(const QString& sql) const { folder.exec(sql); }
    // Gives the paper's questions chosen by a condition on T_TopicTmp their right answers.
    void answerRight(const QString& where) const;

    // Closes the exam screen when it is still open and lets its events run.
    static void closeExam(QWidget* exam);

private:
    struct Host : TDM::Host
    {
        void connectionFailed() override {}
    } m_host;
    FixedClock m_clock{QDate(2026, 12, 8)};
};

} // namespace testing
