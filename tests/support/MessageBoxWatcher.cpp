#include "tests/support/MessageBoxWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace testing {

MessageBoxWatcher::MessageBoxWatcher()
    : m_timer(new QTimer(this))
{
    m_timer->setInterval(5);
    connect(m_timer, &QTimer::timeout, this, [this] { look(); });
    m_timer->start();
}

void MessageBoxWatcher::look()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    texts << box->text();
    titles << box->windowTitle();
    icons << int(box->icon());
    QAbstractButton* button = box->button(QMessageBox::Ok);
    if (!button && box->buttons().size() == 1) {
        button = box->buttons().constFirst();
    }
    if (button) {
        button->click();
    } else {
        box->close();
    }
}

} // namespace testing
