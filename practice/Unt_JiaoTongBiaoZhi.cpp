#include "practice/Unt_JiaoTongBiaoZhi.h"

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

TFrm_JiaoTongBiaoZhi::TFrm_JiaoTongBiaoZhi(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_JiaoTongBiaoZhi"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = named(new Picture(this), "Image1");
    Image1->setGeometry(0, 0, 800, 600);
    Image1->loadFromResource(artPath(QStringLiteral("JiaoTongBiaoZhi.rgb32")));

    const struct
    {
        FlatButton** member;
        const char* name;
        QRect place;
        const char* page;
    } categories[] = {
        {&sbtnJinGaoBiaoZhi, "sbtnJinGaoBiaoZhi", {309, 22, 149, 27}, "\\html\\warning_sign.htm"},
        {&SpeedButton1, "SpeedButton1", {309, 58, 149, 27}, "\\html\\prohibit_sign.htm"},
        {&SpeedButton2, "SpeedButton2", {309, 93, 149, 27}, "\\html\\direct_sign.htm"},
        {&SpeedButton3, "SpeedButton3", {507, 23, 284, 27}, "\\html\\road_direct_sign.htm"},
        {&SpeedButton4, "SpeedButton4", {507, 58, 284, 27}, "\\html\\superway_sign.htm"},
        {&SpeedButton5, "SpeedButton5", {507, 92, 284, 27}, "\\html\\road_line.htm"},
    };
    for (const auto& c : categories) {
        FlatButton* b =
            button(this, c.name, c.place.x(), c.place.y(), c.place.width(), c.place.height());
        b->setHint(QString::fromLatin1(c.page));
        b->OnClick = [this](QObject* s) { sbtnJinGaoBiaoZhiClick(s); };
        *c.member = b;
    }

    sbtnPageUp = button(this, "sbtnPageUp", 659, 157, 120, 51);
    sbtnPageDown = button(this, "sbtnPageDown", 660, 244, 120, 51);
    sbtnExit = button(this, "sbtnExit", 661, 450, 120, 51);
    sbtnPageUp->OnClick = [this](QObject* s) { sbtnPageUpClick(s); };
    sbtnPageDown->OnClick = [this](QObject* s) { sbtnPageDownClick(s); };
    sbtnExit->OnClick = [this](QObject* s) { sbtnExitClick(s); };

    Panel1 = named(new Panel(this), "Panel1");
    Panel1->setGeometry(23, 136, 605, 441);
    WebBrowser = named(new HtmlView(Panel1), "WebBrowser");
    WebBrowser->setGeometry(0, 0, 605, 441);
    WebBrowser->setFocus();
}

void TFrm_JiaoTongBiaoZhi::sbtnJinGaoBiaoZhiClick(QObject* sender)
{
    auto* b = qobject_cast<FlatButton*>(sender);
    if (!b) {
        return;
    }
    WebBrowser->navigate(appRelativeFile(b->hint()));
    // The keys work on the new page at once, without a click into it first.
    WebBrowser->postFocus();
}

void TFrm_JiaoTongBiaoZhi::sbtnPageUpClick(QObject* sender)
{
    Q_UNUSED(sender);
    WebBrowser->postPageUp();
}

void TFrm_JiaoTongBiaoZhi::sbtnPageDownClick(QObject* sender)
{
    Q_UNUSED(sender);
    WebBrowser->postPageDown();
}

void TFrm_JiaoTongBiaoZhi::sbtnExitClick(QObject* sender)
{
    Q_UNUSED(sender);
    close();
}

void TFrm_JiaoTongBiaoZhi::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
