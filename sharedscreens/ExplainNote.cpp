#include "sharedscreens/ExplainNote.h"

#include "toolkit/Controls.h"
#include "toolkit/FitText.h"

#include <QPainter>
#include <QTextLayout>

ExplainNote::ExplainNote(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFont(screenFont(QStringLiteral("宋体"), 16, true));
    hide();
}

void ExplainNote::setNote(const QString& answerLine, const QString& explain, const QString& source)
{
    m_answer = answerLine;
    m_explain = explain.trimmed();
    m_source = source.trimmed();
    setVisible(!isEmpty());
    update();
}

void ExplainNote::clearNote()
{
    setNote(QString(), QString(), QString());
}

QString ExplainNote::text() const
{
    QStringList lines;
    for (const Paragraph& p : paragraphs()) {
        lines << p.text;
    }
    return lines.join(QLatin1Char('\n'));
}

void ExplainNote::setTextFont(const QString& face, int pixelSize, bool bold)
{
    setFont(screenFont(face, pixelSize, bold));
    update();
}

void ExplainNote::setFrame(const QColor& fill, const QColor& border)
{
    m_fill = fill;
    m_border = border;
    update();
}

std::vector<ExplainNote::Paragraph> ExplainNote::paragraphs() const
{
    std::vector<Paragraph> list;
    if (!m_answer.isEmpty()) {
        list.push_back({m_answer, QColor(200, 0, 0), -1, QColor()});
    }
    const QString explain = m_explain.isEmpty() ? QString() : QStringLiteral("解析：") + m_explain;
    const QString source = m_source.isEmpty() ? QString() : QStringLiteral("依据：") + m_source;
    const QColor navy(0, 0, 128);
    if (m_runIn && !explain.isEmpty() && !source.isEmpty()) {
        const QString gap = QStringLiteral("　");
        list.push_back({explain + gap + source, Qt::black, int(explain.size() + gap.size()), navy});
        return list;
    }
    if (!explain.isEmpty()) {
        list.push_back({explain, Qt::black, -1, QColor()});
    }
    if (!source.isEmpty()) {
        list.push_back({source, navy, -1, QColor()});
    }
    return list;
}

void ExplainNote::setRunIn(bool runIn)
{
    m_runIn = runIn;
    update();
}

void ExplainNote::fitFont(const QString& face, const std::vector<int>& sizes, bool bold)
{
    for (int px : sizes) {
        setTextFont(face, px, bold);
        if (textHeight(width()) <= height()) {
            return;
        }
    }
}

int ExplainNote::margin() const
{
    return m_border.isValid() ? 5 : 2;
}

int ExplainNote::layOut(int width, QPainter* p) const
{
    const qreal m = margin();
    qreal y = m;
    for (const Paragraph& paragraph : paragraphs()) {
        QTextLayout layout(paragraph.text, font());
        QList<QTextLayout::FormatRange> formats;
        if (paragraph.tailFrom >= 0) {
            QTextLayout::FormatRange tail;
            tail.start = paragraph.tailFrom;
            tail.length = int(paragraph.text.size()) - paragraph.tailFrom;
            tail.format.setForeground(paragraph.tailColor);
            formats << tail;
        }
        // The faces draw the cross far smaller than their letters: it is set larger, so
        // that "正确答案：×" reads at a glance.
        QFont mark = font();
        mark.setPixelSize(qRound(font().pixelSize() * 1.5));
        for (int i = 0; i < int(paragraph.text.size()); ++i) {
            if (paragraph.text[i] == QChar(0x00D7)) {
                QTextLayout::FormatRange cross;
                cross.start = i;
                cross.length = 1;
                cross.format.setFont(mark);
                formats << cross;
            }
        }
        layout.setFormats(formats);
        // A little room between the lines, which the faces set tight.
        y = wrapParagraph(layout, width, m, y, qRound(font().pixelSize() * 0.2));
        if (p) {
            p->setPen(paragraph.color);
            layout.draw(p, QPointF(0, 0));
        }
    }
    return int(y + m + 0.999);
}

int ExplainNote::textHeight(int width) const
{
    return layOut(width, nullptr);
}

void ExplainNote::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_border.isValid()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(m_border, 2));
        p.setBrush(m_fill);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(rect().adjusted(1, 1, -1, -1));
    layOut(width(), &p);
}

ExplainNote* titleBandNote(QWidget* screen)
{
    auto* note = new ExplainNote(screen);
    note->setObjectName(QStringLiteral("lblJieXi"));
    note->setGeometry(4, 2, 792, 52);
    note->setFrame(QColor(246, 244, 255), QColor(120, 106, 190));
    note->setTextFont(QStringLiteral("宋体"), 14, true);
    note->setRunIn(true);
    return note;
}
