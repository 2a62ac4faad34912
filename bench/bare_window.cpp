// The least a Qt program does to show what the program's start shows first: one
// frameless 800 x 600 window with a picture, the splash's two captions of 96 pixels in
// its brush face and the contact line, so that the baseline pays for the fonts too.
// The baseline of the start-up benchmark.   bare_window PICTURE [CONTACT]
#include <QApplication>
#include <QLabel>
#include <QPixmap>

namespace {

// The faces the program's substitutes name first for its brush and song faces.
QLabel* caption(QWidget* parent, const QRect& place, const QString& face, int pixelSize,
                const QColor& color, const QString& text)
{
    auto* label = new QLabel(text, parent);
    QFont font(face);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setGeometry(place);
    return label;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setFixedSize(800, 600);
    if (argc > 1) {
        window.setPixmap(QPixmap(QString::fromLocal8Bit(argv[1])));
    }
    // Over the middle, where the splash stands, each caption whole.
    const QString brush = QStringLiteral("AR PL UKai CN");
    QLabel* first =
        caption(&window, QRect(208, 252, 194, 96), brush, 96, Qt::red, QStringLiteral("Quorin"));
    first->adjustSize();
    QLabel* second = caption(&window, QRect(first->geometry().right() + 1, 252, 194, 96), brush, 96,
                             Qt::blue, QStringLiteral("软件"));
    second->adjustSize();
    if (argc > 2) {
        QLabel* contact =
            caption(&window, QRect(31, 583, 244, 14), QStringLiteral("AR PL UMing CN"), 14,
                    Qt::blue, QString::fromLocal8Bit(argv[2]));
        contact->adjustSize();
    }
    window.show();
    return app.exec();
}
