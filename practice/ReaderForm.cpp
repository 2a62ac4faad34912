#include "practice/ReaderForm.h"

#include "sharedscreens/ScreenParts.h"
#include "toolkit/AppDir.h"
#include "toolkit/ClickArea.h"

ReaderForm::ReaderForm(QWidget* owner, const Layout& layout)
    : Form(owner)
    , m_layout(layout)
{
    setObjectName(QLatin1String(layout.objectName));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = screenPicture(this, "Image1", QLatin1String(layout.background));
}

FlatButton* ReaderForm::addCategory(const char* name, const QRect& place, const char* page,
                                    NotifyEvent onClick)
{
    FlatButton* b = clickArea<FlatButton>(this, name, place);
    b->setHint(QString::fromLatin1(page));
    b->OnClick = std::move(onClick);
    return b;
}

void ReaderForm::addPageControls()
{
    sbtnPageUp = clickArea<FlatButton>(this, "sbtnPageUp", m_layout.pageUp);
    sbtnPageDown = clickArea<FlatButton>(this, "sbtnPageDown", m_layout.pageDown);
    sbtnExit = clickArea<FlatButton>(this, "sbtnExit", m_layout.exit);
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
