#include "practice/Unt_JianPan.h"

#include "toolkit/ClickArea.h"
#include "toolkit/Resources.h"

TFrm_JianPan::TFrm_JianPan(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_JianPan"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(280, 200);
    setColor(palette().color(QPalette::Button));
    setPosition(FormPosition::Designed);

    Image1 = named(new Picture(this), "Image1");
    Image1->setAutoSize(true);
    Image1->move(-1, 0);
    Image1->loadFromResource(artPath(QStringLiteral("JianPan.rgb32")));

    auto key = [this](const char* name, int x, int y, int tag) {
        return clickArea<FlatButton>(this, name, {x, y, 70, 67}, tag);
    };
    sbtnOK = key("sbtnOK", 212, 135, 0);
    sbtn1 = key("sbtn1", 1, 0, 1);
    sbtn2 = key("sbtn2", 71, 0, 2);
    sbtn3 = key("sbtn3", 142, 0, 3);
    sbtn4 = key("sbtn4", 212, 0, 4);
    sbtn5 = key("sbtn5", 1, 68, 5);
    sbtn6 = key("sbtn6", 71, 68, 6);
    sbtn7 = key("sbtn7", 142, 68, 7);
    sbtn8 = key("sbtn8", 212, 68, 8);
    sbtn9 = key("sbtn9", 1, 135, 9);
    sbtn0 = key("sbtn0", 71, 135, 0);
    sbtnCancel = key("sbtnCancel", 142, 135, 0);

    sbtnOK->OnClick = [this](QObject* s) { sbtnOKClick(s); };
    sbtnCancel->OnClick = [this](QObject* s) { sbtnCancelClick(s); };
    for (FlatButton* digit :
         {sbtn1, sbtn2, sbtn3, sbtn4, sbtn5, sbtn6, sbtn7, sbtn8, sbtn9, sbtn0}) {
        digit->OnClick = [this](QObject* s) { sbtn1Click(s); };
    }
}

void TFrm_JianPan::sbtn1Click(QObject* sender)
{
    auto* key = dynamic_cast<Clickable*>(sender);
    if (TargetControl && key) {
        TargetControl->setCaption(TargetControl->caption() + QString::number(key->tag()));
    }
}

void TFrm_JianPan::sbtnCancelClick(QObject* sender)
{
    Q_UNUSED(sender);
    if (TargetControl) {
        TargetControl->setCaption(QString());
    }
}

void TFrm_JianPan::sbtnOKClick(QObject* sender)
{
    Q_UNUSED(sender);
    if (TargetControl && TargetControl->caption().isEmpty()) {
        TargetControl->setCaption(QStringLiteral("1"));
    }
    close();
}

void TFrm_JianPan::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
