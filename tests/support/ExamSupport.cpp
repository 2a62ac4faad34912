#include "tests/support/ExamSupport.h"

#include "data/BankSchema.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "exam/Unt_SafeExam.h"
#include "exam/Unt_SimulateExam.h"
#include "toolkit/AppDir.h"

#include <QFile>

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

QStringList safeBankSql(int perCell)
{
    QStringList statements;
    for (QString sql : BankSchema::subjectFourStatements()) {
        statements << sql.replace(QLatin1String("CREATE TABLE "),
                                  QLatin1String("CREATE TABLE IF NOT EXISTS "))
                          .replace(QLatin1String("CREATE INDEX "),
                                   QLatin1String("CREATE INDEX IF NOT EXISTS "));
    }
    if (perCell == 0) {
        return statements;
    }
    const QString options = QStringLiteral(
        "char(13,10)||'A、减速慢行'||char(13,10)||'B、鸣喇叭示意后加速通过'||char(13,10)||"
        "'C、注意观察路况'||char(13,10)||'D、必要时停车让行'");
    statements << QStringLiteral(
                      "INSERT INTO T_SafeTopic (ID, Type, Chapter, Content, Result, Source, "
                      "Explain, QKey) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM "
                      "n WHERE i < %1) SELECT i+1, i/(7*%2), (i/%2)%7+1, CASE i/(7*%2) WHEN 1 "
                      "THEN '安全题'||(i+1)||'：雨天行车应当降低车速，加大跟车距离。' ELSE "
                      "'安全题'||(i+1)||'：驾驶机动车遇到这种情况应当怎样做？'||%3 END, "
                      "CASE i/(7*%2) WHEN 0 THEN 'B' WHEN 1 THEN '×' ELSE 'ACD' END, "
                      "'《道路交通安全法实施条例》第'||(i+1)||'条', "
                      "'第'||(i+1)||'题：遇到情况先减速，观察清楚再通过。', 's-'||(i+1) FROM n")
                      .arg(3 * 7 * perCell - 1)
                      .arg(perCell)
                      .arg(options);
    return statements;
}

QString playableClipLiteral()
{
    QFile clip(QStringLiteral(TAVIRO_APP_DIR "/CLOCK.AVI"));
    if (!clip.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the build's clip");
    }
    return QStringLiteral("X'") + QString::fromLatin1(clip.readAll().toHex()) + QLatin1Char('\'');
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

TFrm_SafeExam* ExamFixture::showSafeExam(int perCell)
{
    folder.exec(safeBankSql(perCell));
    auto* exam = new TFrm_SafeExam(nullptr);
    exam->lblNo->setCaption(QStringLiteral("44"));
    exam->show();
    return exam;
}

void ExamFixture::closeExam(QWidget* exam)
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
