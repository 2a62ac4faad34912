#pragma once

#include <QTextBrowser>

// The embedded HTML browser of the reference screens: shows a local page, scrolls one
// screen on a Page Up or Page Down key, and takes the focus. Keys and the focus can be
// posted, so that a button returns at once and the view acts when it runs its events.
class HtmlView : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HtmlView(QWidget* parent);

    // Shows the page in this file. A file that cannot be read shows the view's own
    // error page instead; nothing is raised.
    void navigate(const QString& fileName);
    // The file last asked for, as given.
    QString fileName() const { return m_fileName; }
    bool showsErrorPage() const { return m_errorPage; }

    void postPageUp();
    void postPageDown();
    void postFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_fileName;
    bool m_errorPage = false;
};
