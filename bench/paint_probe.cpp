// Preloaded into a program (LD_PRELOAD) by the start-up benchmark. When the first
// 800 x 600 window has been painted it writes "menu <monotonic ns> <resident KiB>" to
// the file descriptor named in TAVIRO_PROBE_FD and ends the program at once. With
// TAVIRO_PROBE_PRACTICE=1 it clicks the menu's practice area instead and reports
// "practice <ns> <KiB>" when the practice screen has been painted.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

long long g_loadedNs = 0;

__attribute__((constructor)) void loaded()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    g_loadedNs = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

long residentKiB()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

void report(const char* what)
{
    const char* fd = std::getenv("TAVIRO_PROBE_FD");
    if (!fd) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[128];
    const int n = std::snprintf(line, sizeof line, "%s %lld %ld %lld\n", what,
                                (long long)now.tv_sec * 1000000000LL + now.tv_nsec, residentKiB(),
                                g_loadedNs);
    if (write(std::atoi(fd), line, size_t(n)) != n) {
        _exit(4);
    }
}

void click(QWidget* target)
{
    const QPointF local = target->rect().center();
    const QPointF global = target->mapToGlobal(local);
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

class Probe : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow()) {
            return false;
        }
        if (!m_menuSeen && widget->size() == QSize(800, 600)) {
            m_menuSeen = true;
            // The children and the flush to the screen follow in the same turn.
            QPointer<QWidget> menu(widget);
            QTimer::singleShot(0, this, [this, menu] { menuPainted(menu); });
        } else if (m_practice && m_menuSeen && !m_practiceSeen &&
                   widget->objectName() == QLatin1String("Frm_ShunXuLianXi")) {
            m_practiceSeen = true;
            QTimer::singleShot(0, this, [] {
                report("practice");
                _exit(0);
            });
        }
        return false;
    }

private:
    void menuPainted(QWidget* menu)
    {
        report("menu");
        QWidget* area =
            menu ? menu->findChild<QWidget*>(QStringLiteral("lblShunXuLianXi")) : nullptr;
        if (!m_practice || !area) {
            _exit(0);
        }
        report("click");
        click(area);
    }

    bool m_menuSeen = false;
    bool m_practiceSeen = false;
    bool m_practice = qEnvironmentVariableIntValue("TAVIRO_PROBE_PRACTICE") == 1;
};

void installProbe()
{
    auto* probe = new Probe;
    probe->moveToThread(QCoreApplication::instance()->thread());
    probe->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
