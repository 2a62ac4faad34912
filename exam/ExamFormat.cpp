#include "exam/ExamFormat.h"

namespace {

// The rows by value, so that a format made while the program's globals are still being
// initialised (a global of another file that reads subjectOne()) has them all the same.
std::vector<TExam> subjectOnePlan()
{
    return {
        {17, QStringLiteral("Type=0 AND ID>=1 AND ID<=441")},
        {10, QStringLiteral("Type=0 AND ID>=442 AND ID<=699")},
        {9, QStringLiteral("Type=0 AND ID>=700 AND ID<=938")},
        {5, QStringLiteral("Type=0 AND ID>=939 AND ID<=1065")},
        {5, QStringLiteral("Type=0 AND ID>1066 AND ID<=1207")},
        {2, QStringLiteral("Type=0 AND ID>=1208 AND ID<=1271")},
        {2, QStringLiteral("Type=0 AND ID>=1272 AND ID<=1320")},
        {2, QStringLiteral("Type=0 AND ID>=1321 AND ID<=1379")},
        {2, QStringLiteral("Type=0 AND ID>=1380 AND ID<=1449")},
        {2, QStringLiteral("Type=0 AND ID>1450 AND ID<=1500")},
        {4, QStringLiteral("Type=0 AND ID>1501 AND ID<=1600")},
        {11, QStringLiteral("Type=1 AND ID>=1 AND ID<=441")},
        {6, QStringLiteral("Type=1 AND ID>=442 AND ID<=699")},
        {6, QStringLiteral("Type=1 AND ID>=700 AND ID<=938")},
        {3, QStringLiteral("Type=1 AND ID>=939 AND ID<=1065")},
        {4, QStringLiteral("Type=1 AND ID>1066 AND ID<=1207")},
        {2, QStringLiteral("Type=1 AND ID>=1208 AND ID<=1271")},
        {1, QStringLiteral("Type=1 AND ID>=1272 AND ID<=1320")},
        {2, QStringLiteral("Type=1 AND ID>=1321 AND ID<=1379")},
        {2, QStringLiteral("Type=1 AND ID>=1380 AND ID<=1449")},
        {1, QStringLiteral("Type=1 AND ID>1450 AND ID<=1500")},
        {2, QStringLiteral("Type=1 AND ID>1501 AND ID<=1600")},
    };
}

} // namespace

const std::vector<TExam> ExamPlan = subjectOnePlan();

namespace {

// Subject four's paper, as the test is set: 20 true/false statements, then 20 single
// choices, then 10 multiple answers, each kind spread over the seven chapters of the
// test's outline.
struct ChapterShare
{
    const char* name;
    int trueFalse;
    int single;
    int multiple;
};
const ChapterShare kSafeChapters[] = {
    {"安全文明驾驶", 4, 4, 2}, {"交通信号与场景", 3, 3, 1},   {"恶劣天气与复杂道路", 4, 4, 2},
    {"紧急避险", 3, 3, 2},     {"事故救护与危险品", 2, 2, 1}, {"车辆检查与操作", 2, 2, 1},
    {"典型事故案例", 2, 2, 1},
};

ExamFormat makeSubjectOne()
{
    ExamFormat f;
    f.subject = 1;
    f.title = QStringLiteral("科目一");
    f.bankTable = QStringLiteral("T_Topic");
    f.paperTable = QStringLiteral("T_TopicTmp");
    f.copyColumns = QStringLiteral("ID,Type");
    f.resultPicture = QStringLiteral("ExamResult.rgb32");
    f.questions = 100;
    f.minutes = 45;
    f.points = 1;
    f.passMark = 90;
    f.plan = subjectOnePlan();
    // The eleven ranges of ID the plan draws from; the few IDs between them that the
    // plan's strict bounds leave out (1066, 1450, 1501) still count to their range.
    const struct
    {
        int first;
        int last;
        const char* name;
    } ranges[] = {
        {1, 441, "法律法规"},     {442, 699, "交通信号"},   {700, 938, "安全行车"},
        {939, 1065, "驾驶操作"},  {1066, 1207, "高速公路"}, {1208, 1271, "复杂条件"},
        {1272, 1320, "紧急情况"}, {1321, 1379, "事故急救"}, {1380, 1449, "车辆构造"},
        {1450, 1500, "夜间山区"}, {1501, 1600, "新规定"},
    };
    for (const auto& r : ranges) {
        ExamChapter c;
        c.name = QString::fromUtf8(r.name);
        c.firstId = r.first;
        c.lastId = r.last;
        f.chapters.push_back(c);
    }
    return f;
}

ExamFormat makeSubjectFour()
{
    ExamFormat f;
    f.subject = 4;
    f.title = QStringLiteral("科目四");
    f.bankTable = QStringLiteral("T_SafeTopic");
    f.paperTable = QStringLiteral("T_SafePaper");
    f.copyColumns = QStringLiteral("ID,Type,Chapter");
    f.chapterColumn = QStringLiteral("Chapter");
    f.clipColumn = QStringLiteral("Clip");
    f.resultPicture = QStringLiteral("ExamResultFour.rgb32");
    f.questions = 50;
    f.minutes = 30;
    f.points = 2;
    f.passMark = 90;
    int number = 1;
    for (const ChapterShare& c : kSafeChapters) {
        ExamChapter chapter;
        chapter.name = QString::fromUtf8(c.name);
        chapter.number = number++;
        f.chapters.push_back(chapter);
    }
    // Type 1 true/false, 0 single choice, 2 multiple answers, in the order of the paper.
    const std::pair<int, int ChapterShare::*> kinds[] = {
        {1, &ChapterShare::trueFalse}, {0, &ChapterShare::single}, {2, &ChapterShare::multiple}};
    for (const auto& [type, share] : kinds) {
        for (size_t i = 0; i < std::size(kSafeChapters); ++i) {
            f.plan.push_back({kSafeChapters[i].*share,
                              QStringLiteral("Type=%1 AND Chapter=%2").arg(type).arg(i + 1)});
        }
    }
    return f;
}

} // namespace

AnswerKind ExamFormat::kindOf(int type) const
{
    // Subject one tells only zero from non-zero, as its screens always have.
    if (subject != 4) {
        return type == 0 ? AnswerKind::Single : AnswerKind::TrueFalse;
    }
    switch (type) {
    case 0:
        return AnswerKind::Single;
    case 2:
        return AnswerKind::Multiple;
    default:
        return AnswerKind::TrueFalse;
    }
}

int ExamFormat::chapterOf(int id, int chapterValue) const
{
    for (size_t i = 0; i < chapters.size(); ++i) {
        const ExamChapter& c = chapters[i];
        const bool in =
            !chapterColumn.isEmpty() ? chapterValue == c.number : id >= c.firstId && id <= c.lastId;
        if (in) {
            return int(i);
        }
    }
    return -1;
}

const ExamFormat& subjectOne()
{
    static const ExamFormat format = makeSubjectOne();
    return format;
}

const ExamFormat& subjectFour()
{
    static const ExamFormat format = makeSubjectFour();
    return format;
}

const ExamFormat& formatOf(int subject)
{
    return subject == 4 ? subjectFour() : subjectOne();
}
