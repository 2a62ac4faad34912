#include "practice/ReaderForm.h"

#include "toolkit/AppDir.h"
#include "toolkit/Resources.h"

namespace {

FlatButton* button(QWidget* parent, const char* name, const QRect& place)
{
    FlatButton* b = named(new FlatButton(parent), name);
    b->setGeometry(place);
    b->setHandCursor();
    return b;
}

} // namespace

ReaderForm::ReaderForm(QWidget* owner, const Layout& layout)
    : Form(owner)
    , m_layout(layout)
{
    setObjectName(QLatin1String(layout.objectName));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = named(new Picture(this), "Image1");
    Image1->setGeometry(0, 0, 800, 600);
    Image1->loadFromResource(artPath(QLatin1String(layout.background)));
}

FlatButton* ReaderForm::addCategory(const char* name, const QRect& place, const char* page,
                                    NotifyEvent onClick)
{
    FlatButton* b = button(this, name, place);
    b->setHint(QString::fromLatin1(page));
    b->OnClick = std::move(onClick);
    return b;
}

void ReaderForm::addPageControls()
{
    sbtnPageUp = button(this, "sbtnPageUp", m_layout.pageUp);
    sbtnPageDown = button(this, "sbtnPageDown", m_layout.pageDown);
    sbtnExit = button(this, "sbtnExit", m_layout.exit);
    sbtnPageUp->OnClick = [this](QObject* s) { sbtnPageUpClick(s); };
    sbtnPageDown->OnClick = [this](QObject* s) { sbtnPageDownClick(s); };
    sbtnExit->OnClick = [this](QObject* s) { sbtnExitClick(s); };

    Panel1 = named(new Panel(this), "Panel1");
    Panel1->setGeometry(m_layout.panel);
    WebBrowser = named(new HtmlView(Panel1), "WebBrowser");
    WebBrowser->setGeometry(0, 0, m_layout.panel.width(), m_layout.panel.height());
    WebBrowser->setFocus();
}

void ReaderForm::loadPageOf(QObject* sender)
{
    if (auto* b = qobject_cast<FlatButton*>(sender)) {
        WebBrowser->navigate(appRelativeFile(b->hint()));
    }
}

void ReaderForm::sbtnPageUpClick(QObject*)
{
    WebBrowser->postPageUp();
}

void ReaderForm::sbtnPageDownClick(QObject*)
{
    WebBrowser->postPageDown();
}

void ReaderForm::sbtnExitClick(QObject*)
{
    close();
}

void ReaderForm::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
