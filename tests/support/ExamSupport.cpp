#include "tests/support/ExamSupport.h"

#include "data/Connection.h"
#include "data/Query.h"
#include "exam/Unt_SimulateExam.h"
#include "toolkit/AppDir.h"

namespace testing {

std::vector<BankRow> planBank(int factor)
{
    struct Range
    {
        int first;
        int last;
        int choice;
        int trueFalse;
    };
    const Range ranges[] = {
        {1, 441, 17, 11},   {442, 699, 10, 6},  {700, 938, 9, 6},   {939, 1065, 5, 3},
        {1067, 1207, 5, 4}, {1208, 1271, 2, 2}, {1272, 1320, 2, 1}, {1321, 1379, 2, 2},
        {1380, 1449, 2, 2}, {1451, 1500, 2, 1}, {1502, 1600, 4, 2},
    };
    static const char* letters[] = {"A", "B", "C", "D"};
    std::vector<BankRow> rows;
    int n = 0;
    for (const Range& r : ranges) {
        int id = r.first;
        for (int i = 0; i < r.choice * factor && id <= r.last; ++i, ++id, ++n) {
            rows.push_back(
                choiceRow(id, QStringLiteral("选择题 %1").arg(id), QLatin1String(letters[n % 4])));
        }
        for (int i = 0; i < r.trueFalse * factor && id <= r.last; ++i, ++id, ++n) {
            rows.push_back(trueFalseRow(id, QStringLiteral("判断题 %1").arg(id),
                                        n % 2 ? QStringLiteral("√") : QStringLiteral("×")));
        }
    }
    for (int id : {1066, 1450, 1501}) {
        rows.push_back(choiceRow(id, QStringLiteral("范围外 %1").arg(id), QStringLiteral("A")));
    }
    rows.push_back(trueFalseRow(1601, QStringLiteral("范围外 1601"), QStringLiteral("√")));
    return rows;
}

ExamFixture::ExamFixture(const std::vector<BankRow>& rows)
{
    folder.writeBank(rows);
    folder.copyFromBuild(QStringLiteral("CLOCK.AVI"));
    setApplicationDirectory(folder.path());
    Application::setTitle(QStringLiteral("Taviro"));
    DM = new TDM(folder.path(), m_clock, m_host);
    DM->DataModuleCreate();
}

ExamFixture::~ExamFixture()
{
    delete DM;
    DM = nullptr;
}

TFrm_SimulateExam* ExamFixture::showExam(const QString& number)
{
    auto* exam = new TFrm_SimulateExam(nullptr);
    Frm_SimulateExam = exam;
    exam->lblNo->setCaption(number);
    exam->show();
    return exam;
}

void ExamFixture::closeExam(TFrm_SimulateExam* exam)
{
    if (exam) {
        exam->close();
    }
    settle();
}

QString ExamFixture::storedAnswer(int topicNo) const
{
    return scalar(QStringLiteral("SELECT Result FROM T_TopicTmp WHERE TopicNo=%1").arg(topicNo))
        .toString();
}

void ExamFixture::answerRight(const QString& where) const
{
    exec(QStringLiteral("UPDATE T_TopicTmp SET Result=(SELECT Result FROM T_Topic WHERE "
                        "T_Topic.ID=T_TopicTmp.ID) WHERE ") +
         where);
}

} // namespace testing
