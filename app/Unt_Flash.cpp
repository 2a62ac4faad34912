#include "app/Unt_Flash.h"

#include "toolkit/FitText.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

TFrm_Flash* Frm_Flash = nullptr;

TFrm_Flash::TFrm_Flash(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_Flash"));
    setClientSize(383, 95);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);

    Label1 = named(new Label(this), "Label1");
    Label1->setGeometry(-1, 0, 194, 96);
    Label1->setTextFont(QStringLiteral("隶书"), 96, true, Qt::red);
    Label1->setCaption(QStringLiteral("Quorin"));
    fitCaption(Label1);

    Label2 = named(new Label(this), "Label2");
    Label2->setGeometry(189, 0, 194, 96);
    Label2->setTextFont(QStringLiteral("隶书"), 96, true, Qt::blue);
    Label2->setCaption(QStringLiteral("软件"));
    fitCaption(Label2);
}

void TFrm_Flash::CMEraseBkgnd()
{
    const QRect screen = screenRect();
    const QRect place(screen.x() + (screen.width() - width()) / 2,
                      screen.y() + (screen.height() - height()) / 2, width(), height());
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        m_behind = s->grabWindow(0, place.x(), place.y(), place.width(), place.height());
    }
}

void TFrm_Flash::showAtOnce()
{
    CMEraseBkgnd();
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TFrm_Flash::paintEvent(QPaintEvent*)
{
    if (!m_behind.isNull()) {
        QPainter(this).drawPixmap(0, 0, m_behind);
    }
}
