#include "toolkit/FitText.h"

#include "toolkit/Controls.h"

#include <QFontMetrics>

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
