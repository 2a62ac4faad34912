#include "practice/ReaderForm.h"

#include "sharedscreens/ScreenParts.h"
#include "toolkit/AppDir.h"
#include "toolkit/ClickArea.h"
#include "toolkit/Resources.h"

#include <QFileInfo>
#include <QPainter>

namespace {

// A gold frame round a category of the background; it takes no clicks.
class CategoryFrame : public QWidget
{
public:
    explicit CategoryFrame(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(240, 170, 20), 3));
        p.setBrush(QColor(255, 220, 90, 70));
        p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
    }
};

} // namespace

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
                                    NotifyEvent onClick, const QRect& face)
{
    FlatButton* b = clickArea<FlatButton>(this, name, place);
    b->setHint(QString::fromLatin1(page));
    b->OnClick = std::move(onClick);
    m_categories.push_back({b,
                            face.isValid() ? face : place,
                            {QString::fromLatin1(page).section(QLatin1Char('\\'), -1)}});
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

    imgHouTui = named(new Picture(this), "imgHouTui");
    imgHouTui->setGeometry(m_layout.back.adjusted(-4, -6, 4, 8));
    imgHouTui->loadFromResource(artPath(QLatin1String(m_layout.backPicture)));
    imgHouTui->setCursor(Qt::PointingHandCursor);
    imgHouTui->OnClick = [this](QObject* s) { imgHouTuiClick(s); };
    imgXuanZhong = new CategoryFrame(this);
    connect(WebBrowser, &QTextBrowser::sourceChanged, this,
            [this](const QUrl&) { markCategory(); });
}

void ReaderForm::imgHouTuiClick(QObject*)
{
    if (WebBrowser->isBackwardAvailable()) {
        WebBrowser->backward();
    }
    markCategory();
}

void ReaderForm::frameAlso(FlatButton* category, const char* page)
{
    for (Category& c : m_categories) {
        if (c.button == category) {
            c.pages << QString::fromLatin1(page);
        }
    }
}

void ReaderForm::markCategory()
{
    const QString shown = QFileInfo(WebBrowser->source().toLocalFile()).fileName();
    for (const Category& c : m_categories) {
        if (!shown.isEmpty() && c.pages.contains(shown, Qt::CaseInsensitive)) {
            imgXuanZhong->setGeometry(c.face.adjusted(-2, 0, 2, 0));
            imgXuanZhong->show();
            imgXuanZhong->raise();
            return;
        }
    }
    imgXuanZhong->hide();
}

void ReaderForm::loadPageOf(QObject* sender)
{
    if (auto* b = qobject_cast<FlatButton*>(sender)) {
        WebBrowser->navigate(appRelativeFile(b->hint()));
    }
    markCategory();
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
