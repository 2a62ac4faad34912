#include "sharedscreens/Unt_Father.h"

TFrm_Father::TFrm_Father(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_Father"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));
    setFont(screenFont(QStringLiteral("宋体"), 12));

    imgPicture = named(new Picture(this), "imgPicture");
    imgPicture->setGeometry(-1, 0, 800, 600);
    imgPicture->setAutoSize(true);
}

void TFrm_Father::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
