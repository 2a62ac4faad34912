#include "practice/Unt_XueXiMoShi.h"

#include "data/Clock.h"
#include "data/DMUnit.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "sharedscreens/ScreenParts.h"
#include "toolkit/ClickArea.h"
#include "toolkit/FitText.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kDeepBlue(38, 58, 128);
constexpr int kRowHeight = 34;

QString titleArt(const ExamFormat& format, const char* mode)
{
    return QStringLiteral("ModeTitle%1%2.rgb32").arg(format.subject).arg(QLatin1String(mode));
}

// A practice screen of the way given; it frees itself when it closes.
TFrm_ShunXuLianXi* practiceScreen(const ExamFormat& format, StudyLog::Mode mode,
                                  std::vector<int> order, const QString& place, const char* title)
{
    auto* practice = new TFrm_ShunXuLianXi();
    practice->setFormat(format);
    practice->StudyMode = mode;
    practice->Order = std::move(order);
    practice->Place = place;
    practice->TitleArt = titleArt(format, title);
    return practice;
}

QString chapterPlace(int chapter)
{
    return QStringLiteral("chapter%1").arg(chapter);
}

} // namespace

// ---- ChapterList --------------------------------------------------------------------------

ChapterList::ChapterList(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    hide();
}

void ChapterList::setProgress(const ExamFormat& format, const StudyLog::Progress& progress)
{
    m_format = &format;
    m_progress = progress;
    update();
}

QRect ChapterList::rowRect(int chapter) const
{
    return QRect(12, 44 + chapter * kRowHeight, width() - 24, kRowHeight - 4);
}

void ChapterList::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(kDeepBlue, 2));
    p.setBrush(QColor(246, 244, 255));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 12, 12);
    p.setFont(screenFont(QStringLiteral("隶书"), 24, true));
    p.drawText(QRectF(16, 6, width() - 32, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("选择一章开始练习"));
    p.setFont(screenFont(QStringLiteral("幼圆"), 13));
    p.setPen(QColor(90, 90, 130));
    p.drawText(QRectF(16, 6, width() - 32, 34), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("已做 · 最近一次答对 · 连续两次答对（掌握）"));
    const QFont name = screenFont(QStringLiteral("宋体"), 16, true);
    for (size_t i = 0; i < m_format->chapters.size(); ++i) {
        const QRect row = rowRect(int(i));
        const StudyLog::ChapterProgress c =
            i < m_progress.chapters.size() ? m_progress.chapters[i] : StudyLog::ChapterProgress();
        p.setPen(QPen(QColor(200, 196, 232), 1));
        p.setBrush(i % 2 == 0 ? QColor(236, 234, 252) : QColor(246, 244, 255));
        p.drawRoundedRect(QRectF(row), 6, 6);
        p.setPen(kDeepBlue);
        p.setFont(fittedFont(name, m_format->chapters[i].name, 170));
        p.drawText(row.adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   m_format->chapters[i].name);
        // The bar: seen, right at the last try, mastered, each over the one before.
        const QRectF track(row.left() + 190, row.top() + 9, 300, row.height() - 18);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(214, 210, 240));
        p.drawRoundedRect(track, 4, 4);
        const auto part = [&](int n, const QColor& color) {
            if (c.questions > 0 && n > 0) {
                p.setBrush(color);
                p.drawRoundedRect(QRectF(track.left(), track.top(), track.width() * n / c.questions,
                                         track.height()),
                                  4, 4);
            }
        };
        part(c.seen, QColor(170, 178, 230));
        part(c.rightLast, QColor(90, 110, 210));
        part(c.mastered, QColor(60, 160, 90));
        p.setPen(QColor(40, 40, 100));
        p.setFont(screenFont(QStringLiteral("宋体"), 14, true));
        p.drawText(
            QRectF(track.right() + 10, row.top(), row.right() - track.right() - 14, row.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("%1/%2 · %3 · %4")
                .arg(c.seen)
                .arg(c.questions)
                .arg(c.rightLast)
                .arg(c.mastered));
    }
}

void ChapterList::mouseReleaseEvent(QMouseEvent* event)
{
    for (size_t i = 0; i < m_format->chapters.size(); ++i) {
        if (rowRect(int(i)).contains(event->position().toPoint()) && OnChoose) {
            OnChoose(int(i));
            return;
        }
    }
}

// ---- TFrm_XueXiMoShi ----------------------------------------------------------------------

TFrm_XueXiMoShi::TFrm_XueXiMoShi(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_XueXiMoShi"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));
    setFont(screenFont(QStringLiteral("宋体"), 16));

    Image1 = screenPicture(this, "Image1", QStringLiteral("XueXiMoShi.rgb32"));
    const char* const names[] = {"lblJiXu",  "lblZhangJie", "lblSuiJi",   "lblYiCuo",
                                 "lblDaoQi", "lblShouCang", "lblChongCi", "lblKaoChang"};
    for (int i = 0; i < Cards; ++i) {
        const QRect card(i % 2 == 0 ? 21 : 405, 92 + (i / 2) * 108, 374, 98);
        lblZhuangTai[size_t(i)] =
            textLabel(this, QByteArray("lblZhuangTai").append(char('0' + i)).constData(),
                      QRect(card.left() + 190, card.top() + 12, 172, 36), QStringLiteral("宋体"),
                      16, QColor(200, 60, 40));
        lblZhuangTai[size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblMoShi[size_t(i)] = clickArea<Label>(this, names[i], card, i);
        lblMoShi[size_t(i)]->OnClick = [this](QObject* s) { lblMoShiClick(s); };
    }
    sbtnReturn = clickArea<FlatButton>(this, "sbtnReturn", {560, 532, 199, 47});
    sbtnReturn->OnClick = [this](QObject* s) { sbtnReturnClick(s); };

    pnlZhangJie = named(new ChapterList(this), "pnlZhangJie");
    pnlZhangJie->setGeometry(21, 92, 758, 430);
    pnlZhangJie->OnChoose = [this](int chapter) {
        pnlZhangJie->hide();
        practiseChapter(*m_format, chapter);
        showCounts();
    };

    lblAddress = contactLabel(this, 23, 583);
    lblAddress->setCaption(loadStr(StringId::Contact));
    imgKeMu = named(new Picture(this), "imgKeMu");
    imgKeMu->setGeometry(676, 18, 100, 40);
    setFormat(subjectOne());
}

void TFrm_XueXiMoShi::setFormat(const ExamFormat& format)
{
    m_format = &format;
    imgKeMu->loadFromResource(artPath(format.subject == subjectOne().subject
                                          ? QStringLiteral("RecordSubjectOne.rgb32")
                                          : QStringLiteral("RecordSubjectFour.rgb32")));
}

void TFrm_XueXiMoShi::FormShow()
{
    resize(800, 600);
    showCounts();
}

void TFrm_XueXiMoShi::showCounts()
{
    if (!DM) {
        return;
    }
    Connection& db = DM->ADOCon;
    QString error;
    int place = 0;
    std::vector<int> ids;
    bool read = StudyLog::placeOf(db, *m_format, QStringLiteral("sequential"), &place, &error);
    lblZhuangTai[Continue]->setCaption(place > 0 ? QStringLiteral("从第%1题起").arg(place)
                                                 : QStringLiteral("从第一题起"));
    lblZhuangTai[Chapter]->setCaption(QStringLiteral("共%1章").arg(m_format->chapters.size()));
    read = read && StudyLog::mostMissed(db, *m_format, &ids, &error);
    lblZhuangTai[Missed]->setCaption(QStringLiteral("%1题").arg(ids.size()));
    read = read && StudyLog::dueQuestions(db, *m_format, DM->clock().currentDate(), &ids, &error);
    lblZhuangTai[Due]->setCaption(QStringLiteral("今天到期%1题").arg(ids.size()));
    read = read && StudyLog::starredQuestions(db, *m_format, &ids, &error);
    lblZhuangTai[Starred]->setCaption(QStringLiteral("%1题").arg(ids.size()));
    lblZhuangTai[Drill]->setCaption(
        QStringLiteral("%1题 · %2分钟").arg(m_format->questions).arg(m_format->minutes));
    lblZhuangTai[ExamHall]->setCaption(
        QStringLiteral("错%1题即结束").arg(StudyLog::examHallLimit(*m_format)));
    lblZhuangTai[Random]->setCaption(QStringLiteral("不重复"));
    if (!read) {
        MessageBox(QStringLiteral("学习记录无法读出：") + error, QStringLiteral("学习模式"), 16);
    }
}

void TFrm_XueXiMoShi::practise(StudyLog::Mode mode, std::vector<int> order, const QString& place,
                               const QString& empty)
{
    if (order.empty()) {
        MessageBox(empty, QStringLiteral("学习模式"), 64);
        return;
    }
    static const char* const titles[] = {"Continue", "WrongBook", "Chapter", "Random",
                                         "Missed",   "Due",       "Starred"};
    practiceScreen(*m_format, mode, std::move(order), place, titles[int(mode)])->showModal();
    showCounts();
}

void TFrm_XueXiMoShi::practiseChapter(const ExamFormat& format, int chapter)
{
    std::vector<int> ids;
    QString error;
    if (!DM || !StudyLog::chapterQuestions(DM->ADOCon, format, chapter, &ids, &error)) {
        MessageBox(QStringLiteral("本章的题目无法读出：") + error, QStringLiteral("章节练习"), 16);
        return;
    }
    if (ids.empty()) {
        MessageBox(QStringLiteral("题库中这一章还没有题目。"), QStringLiteral("章节练习"), 64);
        return;
    }
    int start = 0;
    StudyLog::placeOf(DM->ADOCon, format, chapterPlace(chapter), &start, &error);
    auto* practice =
        practiceScreen(format, StudyLog::Mode::Chapter, ids, chapterPlace(chapter), "Chapter");
    practice->StartAt = start;
    practice->showModal();
}

void TFrm_XueXiMoShi::lblMoShiClick(QObject* sender)
{
    auto* card = qobject_cast<Label*>(sender);
    if (!card || !DM) {
        return;
    }
    Connection& db = DM->ADOCon;
    QString error;
    std::vector<int> ids;
    int start = 0;
    switch (card->tag()) {
    case Continue: {
        StudyLog::placeOf(db, *m_format, QStringLiteral("sequential"), &start, &error);
        auto* practice = new TFrm_ShunXuLianXi();
        practice->setFormat(*m_format);
        practice->Place = QStringLiteral("sequential");
        practice->StartAt = start;
        practice->TitleArt = titleArt(*m_format, "Continue");
        practice->showModal();
        showCounts();
        return;
    }
    case Chapter: {
        StudyLog::Progress progress;
        if (!StudyLog::readProgress(db, *m_format, &progress, &error)) {
            MessageBox(QStringLiteral("学习记录无法读出：") + error, QStringLiteral("章节练习"),
                       16);
        }
        pnlZhangJie->setProgress(*m_format, progress);
        pnlZhangJie->show();
        pnlZhangJie->raise();
        return;
    }
    case Random: {
        if (!StudyLog::randomOrder(db, *m_format, &ids, &error)) {
            MessageBox(QStringLiteral("随机顺序无法保存：") + error, QStringLiteral("随机练习"),
                       16);
            return;
        }
        StudyLog::placeOf(db, *m_format, QStringLiteral("random"), &start, &error);
        auto* practice = practiceScreen(*m_format, StudyLog::Mode::Random, ids,
                                        QStringLiteral("random"), "Random");
        practice->StartAt = start;
        practice->showModal();
        showCounts();
        return;
    }
    case Missed:
        StudyLog::mostMissed(db, *m_format, &ids, &error);
        practise(StudyLog::Mode::Missed, ids, QString(),
                 QStringLiteral("还没有答错过的题。练习或考试中答错的题会按答错的次数排在这里。"));
        return;
    case Due:
        StudyLog::dueQuestions(db, *m_format, DM->clock().currentDate(), &ids, &error);
        practise(StudyLog::Mode::Due, ids, QString(),
                 QStringLiteral("今天没有到期复习的错题。错题会在1、3、7、15天后回到这里。"));
        return;
    case Starred:
        StudyLog::starredQuestions(db, *m_format, &ids, &error);
        practise(StudyLog::Mode::Starred, ids, QString(),
                 QStringLiteral("还没有收藏的题。练习或回顾时点一下题目旁的星标就能收藏。"));
        return;
    case Drill:
    case ExamHall:
        if (OnExam) {
            OnExam(*m_format,
                   card->tag() == Drill ? StudyLog::Mode::Drill : StudyLog::Mode::ExamHall);
            showCounts();
        }
        return;
    default:
        return;
    }
}

void TFrm_XueXiMoShi::sbtnReturnClick(QObject*)
{
    if (pnlZhangJie->isVisible()) {
        pnlZhangJie->hide();
        return;
    }
    close();
}

void TFrm_XueXiMoShi::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
