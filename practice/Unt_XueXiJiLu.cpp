#include "practice/Unt_XueXiJiLu.h"

#include "data/DMUnit.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiMoShi.h"
#include "sharedscreens/ScreenParts.h"
#include "toolkit/ClickArea.h"
#include "toolkit/FitText.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

const QColor kDeepBlue(38, 58, 128);
const QColor kPanelFill(246, 244, 255);
const qreal kMarkRadius = 4.5;

QFont dateFont()
{
    return screenFont(QStringLiteral("宋体"), 12);
}

QFont scoreFont()
{
    return screenFont(QStringLiteral("宋体"), 14, true);
}

QString dayOf(const StudyRecord::ExamEntry& e)
{
    return e.takenAt.isValid() ? e.takenAt.toString(QStringLiteral("M月d日")) : QString();
}

bool meetsAny(const QRectF& r, const std::vector<QRectF>& taken)
{
    return std::any_of(taken.begin(), taken.end(),
                       [&](const QRectF& t) { return t.intersects(r); });
}

} // namespace

// ---- ScorePlot ---------------------------------------------------------------------------

ScorePlot::ScorePlot(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ScorePlot::setExams(std::vector<StudyRecord::ExamEntry> exams, const ExamFormat& format)
{
    m_exams = std::move(exams);
    m_format = &format;
    update();
}

QRectF ScorePlot::plotArea() const
{
    return QRectF(34, 10, width() - 48, height() - 38);
}

QPointF ScorePlot::pointOf(size_t index) const
{
    const QRectF area = plotArea();
    const int places = StudyRecord::kRecentExams;
    const qreal step = area.width() / (places - 1);
    const StudyRecord::ExamEntry& e = m_exams[index];
    // Scores of a full paper, as the pass line is.
    const qreal share = qBound(0.0, qreal(e.score) / m_format->maxScore(), 1.0);
    return QPointF(area.left() + step * qreal(index), area.bottom() - share * area.height());
}

QRectF ScorePlot::markOf(size_t index) const
{
    // The mark with its white rim and a pixel to spare.
    const qreal r = kMarkRadius + 2;
    const QPointF c = pointOf(index);
    return QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

QRectF ScorePlot::passCaption() const
{
    const QRectF area = plotArea();
    const qreal passY = area.bottom() - area.height() * m_format->passMark / m_format->maxScore();
    return QRectF(area.right() - 80, passY - 18, 80, 16);
}

std::vector<ScorePlot::PlotLabel> ScorePlot::dateLabels() const
{
    std::vector<PlotLabel> labels;
    if (m_exams.empty()) {
        return labels;
    }
    const QRectF area = plotArea();
    const QFontMetricsF metrics(dateFont());
    // Several exams of one day would write that day over itself: only a new day is named.
    std::vector<size_t> newDays;
    for (size_t i = 0; i < m_exams.size(); ++i) {
        if (!dayOf(m_exams[i]).isEmpty() &&
            (i == 0 || dayOf(m_exams[i]) != dayOf(m_exams[i - 1]))) {
            newDays.push_back(i);
        }
    }
    if (newDays.size() > 2) {
        // The first and the last day before those between.
        std::rotate(newDays.begin() + 1, newDays.end() - 1, newDays.end());
    }
    std::vector<QRectF> taken;
    for (const size_t i : newDays) {
        const QString text = dayOf(m_exams[i]);
        const qreal w = metrics.horizontalAdvance(text) + 4;
        const qreal x = qBound(0.0, pointOf(i).x() - w / 2, width() - w);
        const QRectF rect(x, area.bottom() + 6, w, 18);
        if (!meetsAny(rect.adjusted(-3, 0, 3, 0), taken)) {
            taken.push_back(rect);
            labels.push_back({rect, text});
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](const PlotLabel& a, const PlotLabel& b) { return a.rect.left() < b.rect.left(); });
    return labels;
}

std::vector<ScorePlot::PlotLabel> ScorePlot::scoreLabels() const
{
    std::vector<PlotLabel> labels;
    const QRectF area = plotArea();
    const QFontMetricsF metrics(scoreFont());
    std::vector<QRectF> taken{passCaption()};
    for (size_t i = 0; i < m_exams.size(); ++i) {
        taken.push_back(markOf(i));
    }
    // Inside the plot's own height, clear of the days under the axis and of the scale.
    const QRectF room(area.left() - 4, 0, width() - area.left() + 4, area.bottom() + 4);
    for (size_t i = m_exams.size(); i-- > 0;) {
        const QString text = QString::number(m_exams[i].score);
        const qreal w = metrics.horizontalAdvance(text) + 4;
        const qreal h = metrics.height();
        const QPointF at = pointOf(i);
        const qreal x = qBound(room.left(), at.x() - w / 2, room.right() - w);
        const qreal gap = kMarkRadius + 3;
        // Over the point, under it, then beside it: a score at the top has no room over
        // its point, and close neighbours may take the room under it.
        for (const QRectF& rect : {QRectF(x, at.y() - gap - h, w, h), QRectF(x, at.y() + gap, w, h),
                                   QRectF(at.x() + gap, at.y() - h / 2, w, h),
                                   QRectF(at.x() - gap - w, at.y() - h / 2, w, h)}) {
            if (room.contains(rect) && !meetsAny(rect, taken)) {
                taken.push_back(rect);
                labels.push_back({rect, text});
                break;
            }
        }
    }
    return labels;
}

void ScorePlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (m_exams.empty()) {
        p.setFont(screenFont(QStringLiteral("隶书"), 26, true));
        p.setPen(kDeepBlue);
        p.drawText(rect().adjusted(20, 0, -20, -30), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("还没有模拟考试的记录"));
        p.setFont(screenFont(QStringLiteral("宋体"), 16, true));
        p.setPen(QColor(90, 90, 130));
        p.drawText(rect().adjusted(30, 70, -30, 0), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("考完一次模拟考试，这里就会画出你的成绩走势。"));
        return;
    }
    const QRectF area = plotArea();
    p.setFont(screenFont(QStringLiteral("宋体"), 12));
    // Grid every fifth of the full score, with the score at the left.
    const int full = m_format->maxScore();
    for (int score = 0; score <= full; score += full / 5) {
        const qreal y = area.bottom() - area.height() * score / full;
        p.setPen(QPen(QColor(205, 200, 235), 1));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(QColor(90, 90, 130));
        p.drawText(QRectF(0, y - 8, area.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(score));
    }
    const int passMark = m_format->passMark;
    const qreal passY = area.bottom() - area.height() * passMark / full;
    p.setPen(QPen(QColor(200, 40, 40), 1.5, Qt::DashLine));
    p.drawLine(QPointF(area.left(), passY), QPointF(area.right(), passY));
    p.setPen(QColor(200, 40, 40));
    p.drawText(passCaption(), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("及格线%1").arg(passMark));

    QPainterPath line;
    for (size_t i = 0; i < m_exams.size(); ++i) {
        i == 0 ? line.moveTo(pointOf(i)) : line.lineTo(pointOf(i));
    }
    p.setPen(QPen(kDeepBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    for (size_t i = 0; i < m_exams.size(); ++i) {
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(m_exams[i].passed ? QColor(40, 150, 70) : QColor(210, 50, 50));
        p.drawEllipse(pointOf(i), kMarkRadius, kMarkRadius);
    }
    p.setPen(QColor(90, 90, 130));
    p.setFont(dateFont());
    for (const PlotLabel& label : dateLabels()) {
        p.drawText(label.rect, Qt::AlignCenter, label.text);
    }
    p.setFont(scoreFont());
    p.setPen(kDeepBlue);
    for (const PlotLabel& label : scoreLabels()) {
        p.drawText(label.rect, Qt::AlignCenter, label.text);
    }
}

// ---- ChapterBars -------------------------------------------------------------------------

ChapterBars::ChapterBars(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ChapterBars::setProgress(const StudyLog::Progress& progress)
{
    m_progress = progress;
    update();
}

QRect ChapterBars::slotRect(int chapter) const
{
    const int n = qMax(1, int(StudyRecord::chapters(*m_format).size()));
    const qreal slot = qreal(width()) / n;
    return QRect(int(slot * chapter), 0, int(slot), height());
}

void ChapterBars::mouseReleaseEvent(QMouseEvent* event)
{
    const int n = int(StudyRecord::chapters(*m_format).size());
    for (int i = 0; i < n; ++i) {
        if (slotRect(i).contains(event->position().toPoint()) && OnChapterClick) {
            OnChapterClick(i);
            return;
        }
    }
}

void ChapterBars::setShares(std::vector<StudyRecord::ChapterShare> shares, const ExamFormat& format)
{
    m_shares = std::move(shares);
    m_format = &format;
    update();
}

QStringList ChapterBars::captions() const
{
    QStringList list;
    const auto& chapters = StudyRecord::chapters(*m_format);
    for (size_t i = 0; i < chapters.size(); ++i) {
        const StudyRecord::ChapterShare s =
            i < m_shares.size() ? m_shares[i] : StudyRecord::ChapterShare();
        list << chapters[i].name + QLatin1Char(' ') +
                    (s.asked > 0
                         ? QString::number(qRound(100.0 * s.right / s.asked)) + QLatin1Char('%')
                         : QStringLiteral("—"));
    }
    return list;
}

void ChapterBars::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const auto& chapters = StudyRecord::chapters(*m_format);
    const int n = int(chapters.size());
    const qreal slot = qreal(width()) / n;
    const qreal barTop = 4;
    const qreal barBottom = height() - 36;
    for (int i = 0; i < n; ++i) {
        const StudyRecord::ChapterShare s =
            size_t(i) < m_shares.size() ? m_shares[size_t(i)] : StudyRecord::ChapterShare();
        const QRectF track(slot * i + slot * 0.22, barTop, slot * 0.26, barBottom - barTop);
        p.setPen(QPen(QColor(180, 174, 220), 1));
        p.setBrush(QColor(226, 223, 246));
        p.drawRoundedRect(track, 3, 3);
        QString value = QStringLiteral("—");
        if (s.asked > 0) {
            const qreal share = qreal(s.right) / s.asked;
            const QRectF bar(track.left(), track.bottom() - track.height() * share, track.width(),
                             track.height() * share);
            p.setPen(Qt::NoPen);
            p.setBrush(share * m_format->maxScore() >= m_format->passMark ? QColor(60, 160, 90)
                                                                          : QColor(90, 110, 210));
            p.drawRoundedRect(bar, 3, 3);
            value = QString::number(qRound(share * 100)) + QLatin1Char('%');
        }
        // The practice beside it: seen, right at the last try, mastered, over each other.
        const QRectF practice(track.right() + slot * 0.04, barTop, track.width(), track.height());
        p.setPen(QPen(QColor(180, 174, 220), 1));
        p.setBrush(QColor(226, 223, 246));
        p.drawRoundedRect(practice, 3, 3);
        const StudyLog::ChapterProgress c = size_t(i) < m_progress.chapters.size()
                                                ? m_progress.chapters[size_t(i)]
                                                : StudyLog::ChapterProgress();
        p.setPen(Qt::NoPen);
        const std::pair<int, QColor> parts[] = {{c.seen, QColor(170, 178, 230)},
                                                {c.rightLast, QColor(90, 110, 210)},
                                                {c.mastered, QColor(60, 160, 90)}};
        for (const auto& [n, color] : parts) {
            if (c.questions > 0 && n > 0) {
                const qreal h = practice.height() * n / c.questions;
                p.setBrush(color);
                p.drawRoundedRect(
                    QRectF(practice.left(), practice.bottom() - h, practice.width(), h), 3, 3);
            }
        }
        const QFont face = screenFont(QStringLiteral("宋体"), 12, true);
        p.setFont(face);
        p.setPen(QColor(40, 40, 100));
        p.drawText(QRectF(slot * i, barBottom + 1, slot, 16), Qt::AlignCenter, value);
        // The longer names of subject four's chapters are narrowed to their slot.
        const QString& name = chapters[size_t(i)].name;
        p.setFont(fittedFont(face, name, int(slot) - 4));
        p.drawText(QRectF(slot * i, barBottom + 17, slot, 16), Qt::AlignCenter, name);
    }
}

// ---- TFrm_XueXiJiLu ----------------------------------------------------------------------

TFrm_XueXiJiLu::TFrm_XueXiJiLu(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_XueXiJiLu"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));
    setFont(screenFont(QStringLiteral("宋体"), 16));

    Image1 = screenPicture(this, "Image1", QStringLiteral("XueXiJiLu.rgb32"));

    imgChengJi = named(new ScorePlot(this), "imgChengJi");
    imgChengJi->setGeometry(29, 124, 490, 260);

    const QString li = QStringLiteral("隶书");
    lblKaoShi = textLabel(this, "lblKaoShi", QRect(652, 128, 112, 35), li, 35, Qt::blue, QString());
    lblTongGuo = textLabel(this, "lblTongGuo", QRect(652, 176, 112, 35), li, 35, QColor(0, 128, 0),
                           QString());
    lblCuoTi = textLabel(this, "lblCuoTi", QRect(652, 224, 112, 35), li, 35, Qt::red, QString());
    lblWeiDa = textLabel(this, "lblWeiDa", QRect(652, 272, 112, 35), li, 35, QColor(150, 100, 20),
                         QString());
    for (Label* l : {lblKaoShi, lblTongGuo, lblCuoTi, lblWeiDa}) {
        l->setAlignment(Qt::AlignCenter);
    }
    lblZhunBei = textLabel(this, "lblZhunBei", QRect(282, 94, 238, 28), QStringLiteral("宋体"), 16,
                           QColor(200, 60, 40));
    lblZhunBei->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblShuoMing = textLabel(this, "lblShuoMing", QRect(22, 524, 292, 58), QStringLiteral("幼圆"),
                            12, QColor(100, 100, 140));
    lblShuoMing->setWordWrap(true);
    lblShuoMing->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pnlZhangJie = named(new ChapterBars(this), "pnlZhangJie");
    pnlZhangJie->setGeometry(31, 432, 738, 82);
    pnlZhangJie->OnChapterClick = [this](int chapter) {
        TFrm_XueXiMoShi::practiseChapter(*m_format, chapter);
        showSummary();
    };

    sbtnLianXiCuoTi = clickArea<FlatButton>(this, "sbtnLianXiCuoTi", {320, 532, 199, 47});
    sbtnReturn = clickArea<FlatButton>(this, "sbtnReturn", {560, 532, 199, 47});
    sbtnLianXiCuoTi->OnClick = [this](QObject* s) { sbtnLianXiCuoTiClick(s); };
    sbtnReturn->OnClick = [this](QObject* s) { sbtnReturnClick(s); };

    lblAddress = contactLabel(this, 23, 583);
    lblAddress->setCaption(loadStr(StringId::Contact));

    imgKeMu = named(new Picture(this), "imgKeMu");
    imgKeMu->setGeometry(676, 18, 100, 40);
    setFormat(subjectOne());
}

void TFrm_XueXiJiLu::setFormat(const ExamFormat& format)
{
    m_format = &format;
    imgKeMu->loadFromResource(artPath(format.subject == subjectOne().subject
                                          ? QStringLiteral("RecordSubjectOne.rgb32")
                                          : QStringLiteral("RecordSubjectFour.rgb32")));
}

void TFrm_XueXiJiLu::FormShow()
{
    resize(800, 600);
    showSummary();
}

void TFrm_XueXiJiLu::showSummary()
{
    QString error;
    if (!DM || !StudyRecord::readSummary(DM->ADOCon, *m_format, &m_summary, &error)) {
        m_summary = StudyRecord::Summary();
        m_summary.chapters.assign(StudyRecord::chapters(*m_format).size(),
                                  StudyRecord::ChapterShare());
        MessageBox(QStringLiteral("学习记录无法读出：") +
                       (DM ? error : QStringLiteral("题库没有打开")),
                   QStringLiteral("学习记录"), 16);
    }
    imgChengJi->setExams(m_summary.recent, *m_format);
    pnlZhangJie->setShares(m_summary.chapters, *m_format);
    lblKaoShi->setCaption(QString::number(m_summary.exams));
    lblTongGuo->setCaption(QString::number(m_summary.passes));
    lblCuoTi->setCaption(QString::number(m_summary.bookSize));
    lblWeiDa->setCaption(QString::number(m_summary.unanswered));
    showReadiness();
}

void TFrm_XueXiJiLu::showReadiness()
{
    StudyLog::Progress progress;
    QString error;
    const bool read = DM && StudyLog::readProgress(DM->ADOCon, *m_format, &progress, &error);
    pnlZhangJie->setProgress(progress);
    const StudyLog::Readiness r = StudyLog::readiness(*m_format, progress);
    const auto percent = [](double share) { return qRound(share * 100); };
    lblZhunBei->setCaption(!read || !r.enough ? QStringLiteral("及格把握：数据不足")
                                              : QStringLiteral("及格把握：%1%（%2%–%3%）")
                                                    .arg(percent(r.chance))
                                                    .arg(percent(r.low))
                                                    .arg(percent(r.high)));
    lblShuoMing->setCaption(
        QStringLiteral("及格把握：按各章每题最近一次的对错（没做过的按一半）和出题方案估算"
                       "考到%1分的机会，括号内为可能范围；答题不足%2次时显示数据不足。")
            .arg(m_format->passMark)
            .arg(StudyLog::kReadinessAnswers));
}

void TFrm_XueXiJiLu::sbtnLianXiCuoTiClick(QObject*)
{
    if (m_summary.bookSize == 0) {
        MessageBox(QStringLiteral("错题本里还没有题目。练习和模拟考试中答错的题会记在这里。"),
                   QStringLiteral("练习错题"), 64);
        return;
    }
    auto* practice = new TFrm_ShunXuLianXi();
    practice->setFormat(*m_format);
    practice->WrongBook = true;
    practice->showModal();
    // Questions answered right there have left the book.
    showSummary();
}

void TFrm_XueXiJiLu::sbtnReturnClick(QObject*)
{
    close();
}

void TFrm_XueXiJiLu::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
