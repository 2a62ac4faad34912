#include "toolkit/FitText.h"

#include "toolkit/Controls.h"

#include <QFontMetrics>
#include <QTextLayout>

QFont fittedFont(const QFont& font, const QString& text, int room)
{
    QFont f = font;
    f.setStretch(QFont::Unstretched);
    const int natural = QFontMetrics(f).horizontalAdvance(text);
    if (natural > room && natural > 0 && room > 0) {
        f.setStretch(qBound(40, 100 * room / natural, 100));
    }
    return f;
}

void fitCaption(Label* label)
{
    label->setFont(fittedFont(label->font(), label->caption(), label->width() - 2));
}

qreal wrapParagraph(QTextLayout& layout, qreal width, qreal margin, qreal y, qreal leading)
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax<qreal>(1, width - 2 * margin));
        line.setPosition(QPointF(margin, y));
        y += line.height() + leading;
    }
    layout.endLayout();
    return y;
}
