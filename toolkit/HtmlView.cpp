#include "toolkit/HtmlView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>

HtmlView::HtmlView(QWidget* parent)
    : QTextBrowser(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setOpenExternalLinks(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void HtmlView::navigate(const QString& fileName)
{
    m_fileName = fileName;
    // cleanPath also folds the doubled separator of a folder at the root, which a file
    // URL would otherwise read as a host name.
    const QString full = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
    QFile file(full);
    if (!QFileInfo(full).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_errorPage = true;
        setSource(QUrl());
        clearHistory();
        setHtml(QStringLiteral("<html><body style=\"font-size:15px\">"
                               "<h3 style=\"color:#a01010\">无法显示此页</h3>"
                               "<p>找不到页面文件，或文件无法读取：</p><p>%1</p>"
                               "</body></html>")
                    .arg(QDir::toNativeSeparators(fileName).toHtmlEscaped()));
        return;
    }
    file.close();
    m_errorPage = false;
    setSource(QUrl::fromLocalFile(full));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void HtmlView::postPageUp()
{
    QCoreApplication::postEvent(this,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier));
}

void HtmlView::postPageDown()
{
    QCoreApplication::postEvent(this,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier));
}

void HtmlView::postFocus()
{
    QMetaObject::invokeMethod(
        this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

void HtmlView::keyPressEvent(QKeyEvent* event)
{
    // One screen per key, whatever the text cursor would do; the scroll bar stops at
    // both ends by itself.
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp)) {
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_PageDown
                                               ? QAbstractSlider::SliderPageStepAdd
                                               : QAbstractSlider::SliderPageStepSub);
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}
