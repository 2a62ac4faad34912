#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/HtmlView.h"

#include <QRect>
#include <vector>

// What the rules reader and the signs reader share: a background with the category
// names, category click areas whose hints name their pages, the embedded view, and the
// previous-page, next-page and exit buttons.
class ReaderForm : public Form
{
    Q_OBJECT
public:
    struct Layout
    {
        const char* objectName;
        const char* background;
        QRect panel;
        QRect pageUp;
        QRect pageDown;
        QRect exit;
        QRect back; // the back button's click area; its face is the picture named back
        const char* backPicture;
    };

    Picture* Image1;
    FlatButton* sbtnPageUp = nullptr;
    FlatButton* sbtnPageDown = nullptr;
    FlatButton* sbtnExit = nullptr;
    Panel* Panel1 = nullptr;
    HtmlView* WebBrowser = nullptr;
    // Back from a followed link, and the frame round the category shown.
    Picture* imgHouTui = nullptr;
    QWidget* imgXuanZhong = nullptr;

    void sbtnPageUpClick(QObject* sender);
    void sbtnPageDownClick(QObject* sender);
    void sbtnExitClick(QObject* sender);
    void imgHouTuiClick(QObject* sender);

protected:
    ReaderForm(QWidget* owner, const Layout& layout);

    // A category click area; its hint holds the page's stored path. The background draws
    // its face at face (its place where none is given), which the frame of the shown
    // category follows.
    FlatButton* addCategory(const char* name, const QRect& place, const char* page,
                            NotifyEvent onClick, const QRect& face = QRect());
    // Another page the category's frame marks: one its own page leads on to.
    void frameAlso(FlatButton* category, const char* page);
    // The page buttons and the view, above the categories.
    void addPageControls();
    // Loads the page named by the clicked category's hint.
    void loadPageOf(QObject* sender);

    void FormClose(CloseAction& action) override;

private:
    // Frames the category whose page the view shows, none for another page.
    void markCategory();
    Layout m_layout;
    struct Category
    {
        FlatButton* button;
        QRect face;
        QStringList pages; // file names, the button's own first
    };
    std::vector<Category> m_categories;
};
