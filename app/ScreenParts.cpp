#include "app/ScreenParts.h"

#include "toolkit/Resources.h"

Picture* screenPicture(QWidget* parent, const char* name, const QString& artName)
{
    Picture* picture = named(new Picture(parent), name);
    picture->setGeometry(0, 0, 800, 600);
    picture->loadFromResource(artPath(artName));
    return picture;
}

Label* textLabel(QWidget* parent, const char* name, const QRect& place, const QString& face,
                 int pixelSize, const QColor& color, const QString& caption)
{
    Label* l = named(new Label(parent), name);
    l->setGeometry(place);
    l->setTextFont(face, pixelSize, true, color);
    l->setCaption(caption);
    return l;
}

Label* contactLabel(QWidget* parent, int x, int y)
{
    Label* l = named(new Label(parent), "lblAddress");
    l->move(x, y);
    l->resize(244, 14);
    l->setAutoSize(true);
    l->setTextFont(QStringLiteral("宋体"), 14, true, Qt::blue);
    return l;
}

QString questionHeading(const QString& number, bool trueFalse)
{
    return QStringLiteral("第") + number + QStringLiteral("题 ") +
           (trueFalse ? QStringLiteral("(请判断该题的正确性)")
                      : QStringLiteral("(请从下列ABCD中选择出该题的正确答案)"));
}

QString answerOfArea(const QString& letter, bool trueFalse)
{
    if (!trueFalse) {
        return letter;
    }
    return letter == QLatin1String("A") ? QStringLiteral("√") : QStringLiteral("×");
}
