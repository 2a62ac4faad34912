#include "practice/Unt_JiaoTongFaGui.h"

#include "toolkit/AppDir.h"
#include "toolkit/Resources.h"

namespace {

FlatButton* button(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    FlatButton* b = named(new FlatButton(parent), name);
    b->setGeometry(x, y, w, h);
    b->setHandCursor();
    return b;
}

} // namespace

TFrm_JiaoTongFaGui::TFrm_JiaoTongFaGui(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_JiaoTongFaGui"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = named(new Picture(this), "Image1");
    Image1->setGeometry(0, 0, 800, 600);
    Image1->loadFromResource(artPath(QStringLiteral("JiaoTongFaGui.rgb32")));

    const struct
    {
        FlatButton** member;
        const char* name;
        QRect place;
        const char* page;
    } categories[] = {
        {&sbtnGuanLiTiaoLi, "sbtnGuanLiTiaoLi", {18, 63, 334, 27}, "\\html\\Trafficrg1.htm"},
        {&SpeedButton1, "SpeedButton1", {18, 90, 334, 27}, "\\html\\Supperhw.htm"},
        {&SpeedButton2, "SpeedButton2", {18, 117, 334, 27}, "\\html\\carreg.htm"},
        {&SpeedButton3, "SpeedButton3", {18, 144, 334, 27}, "\\html\\driverexam.htm"},
        {&SpeedButton4, "SpeedButton4", {18, 171, 334, 27}, "\\html\\driverlcs.htm"},
        {&SpeedButton5, "SpeedButton5", {381, 56, 334, 27}, "\\html\\Accident.htm"},
        {&SpeedButton6, "SpeedButton6", {381, 84, 334, 27}, "\\html\\Accidenttreat.htm"},
        {&SpeedButton7, "SpeedButton7", {381, 113, 334, 27}, "\\html\\drivertrain.htm"},
        {&SpeedButton8, "SpeedButton8", {381, 141, 334, 27}, "\\html\\violate.htm"},
        {&SpeedButton9, "SpeedButton9", {381, 168, 392, 27}, "\\html\\drivergrd.htm"},
    };
    for (const auto& c : categories) {
        FlatButton* b =
            button(this, c.name, c.place.x(), c.place.y(), c.place.width(), c.place.height());
        b->setHint(QString::fromLatin1(c.page));
        b->OnClick = [this](QObject* s) { sbtnGuanLiTiaoLiClick(s); };
        *c.member = b;
    }

    sbtnPageUp = button(this, "sbtnPageUp", 674, 225, 120, 51);
    sbtnPageDown = button(this, "sbtnPageDown", 674, 326, 120, 51);
    sbtnExit = button(this, "sbtnExit", 674, 495, 120, 51);
    sbtnPageUp->OnClick = [this](QObject* s) { sbtnPageUpClick(s); };
    sbtnPageDown->OnClick = [this](QObject* s) { sbtnPageDownClick(s); };
    sbtnExit->OnClick = [this](QObject* s) { sbtnExitClick(s); };

    Panel1 = named(new Panel(this), "Panel1");
    Panel1->setGeometry(32, 204, 626, 381);
    WebBrowser = named(new HtmlView(Panel1), "WebBrowser");
    WebBrowser->setGeometry(0, 0, 626, 381);
    WebBrowser->setFocus();
}

void TFrm_JiaoTongFaGui::sbtnGuanLiTiaoLiClick(QObject* sender)
{
    auto* b = qobject_cast<FlatButton*>(sender);
    if (!b) {
        return;
    }
    WebBrowser->navigate(appRelativeFile(b->hint()));
}

void TFrm_JiaoTongFaGui::sbtnPageUpClick(QObject* sender)
{
    Q_UNUSED(sender);
    WebBrowser->postPageUp();
}

void TFrm_JiaoTongFaGui::sbtnPageDownClick(QObject* sender)
{
    Q_UNUSED(sender);
    WebBrowser->postPageDown();
}

void TFrm_JiaoTongFaGui::sbtnExitClick(QObject* sender)
{
    Q_UNUSED(sender);
    close();
}

void TFrm_JiaoTongFaGui::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
