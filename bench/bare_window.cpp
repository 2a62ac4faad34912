// The least a Qt program does to show one frameless 800 x 600 window with a picture:
// the baseline of the start-up benchmark.  bare_window PICTURE
#include <QApplication>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setFixedSize(800, 600);
    if (argc > 1) {
        window.setPixmap(QPixmap(QString::fromLocal8Bit(argv[1])));
    }
    window.show();
    return app.exec();
}
