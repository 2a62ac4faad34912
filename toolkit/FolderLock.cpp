#include "toolkit/FolderLock.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char kRaise[] = "raise\n";
const char kRaised[] = "ok\n";

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The socket's name: the user and the folder as the file system knows it, so that two
// spellings of one folder meet and two users never do.
QByteArray addressOf(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? folder : canonical),
                                 QCryptographicHash::Sha1)
            .toHex();
    return QByteArray("taviro-") + QByteArray::number(quint64(::getuid())) + '-' + digest;
}

sockaddr_un socketAddress(const QByteArray& name, socklen_t* length)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // The first byte stays 0: a name of the abstract namespace, never a file.
    const size_t size = std::min(size_t(name.size()), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.constData(), size);
    *length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

// Only the same user's programs talk to each other.
bool sameUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// Waits for fd to become readable; false at the deadline.
bool waitReadable(int fd, const QDeadlineTimer& deadline)
{
    pollfd p{fd, POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, int(std::max<qint64>(0, deadline.remainingTime())));
    } while (rc < 0 && errno == EINTR);
    return rc > 0;
}

bool readLine(int fd, const char* expected, const QDeadlineTimer& deadline)
{
    QByteArray got;
    char buffer[16];
    while (got.size() < qsizetype(std::strlen(expected)) && waitReadable(fd, deadline)) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        got.append(buffer, n);
    }
    return got == expected;
}

bool writeAll(int fd, const char* text)
{
    const size_t size = std::strlen(text);
    return ::send(fd, text, size, MSG_NOSIGNAL) == ssize_t(size);
}

} // namespace

QString FolderLock::lockFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral(".taviro.lock"));
}

FolderLock::FolderLock(const QString& folder)
    : m_address(addressOf(folder))
{
    const QByteArray path = QFile::encodeName(lockFile(folder));
    m_lockFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0 && (errno == EACCES || errno == EROFS)) {
        // A folder the learner may not write: a lock file that is there still serves.
        m_lockFd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (m_lockFd < 0) {
        m_problem = systemError(errno);
        return;
    }
    if (tryLock()) {
        listen();
    }
}

FolderLock::~FolderLock()
{
    stopServing();
    if (m_lockFd >= 0) {
        ::close(m_lockFd); // drops the lock
    }
}

bool FolderLock::tryLock()
{
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
        m_state = State::Owner;
        return true;
    }
    if (errno == EWOULDBLOCK) {
        m_state = State::Running;
    } else {
        m_state = State::Unlocked;
        m_problem = systemError(errno);
    }
    return false;
}

void FolderLock::listen()
{
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0) {
        return;
    }
    socklen_t length = 0;
    const sockaddr_un address = socketAddress(m_address, &length);
    // Taken by another user's program under our name: later starts then show their box.
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
}

void FolderLock::serve(std::function<void()> raise)
{
    m_raise = std::move(raise);
    if (m_listenFd < 0 || m_notifier) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_listenFd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { answer(); });
}

void FolderLock::answer()
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    // A start that asks writes at once; one that does not is not waited for long.
    if (sameUser(fd) && readLine(fd, kRaise, QDeadlineTimer(500))) {
        if (m_raise) {
            m_raise();
        }
        writeAll(fd, kRaised);
    }
    ::close(fd);
}

FolderLock::HandOver FolderLock::handOver(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    int fd = -1;
    bool asked = false;
    QByteArray reply;
    auto hangUp = [&] {
        if (fd >= 0) {
            ::close(fd);
        }
        fd = -1;
    };
    while (true) {
        if (!asked) {
            fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            socklen_t length = 0;
            const sockaddr_un address = socketAddress(m_address, &length);
            asked = fd >= 0 &&
                    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                    sameUser(fd) && writeAll(fd, kRaise);
            if (!asked) {
                hangUp();
            }
        }
        // The answer is awaited in short turns, so that a program that ends meanwhile
        // without answering leaves the folder to this one.
        if (fd >= 0 && waitReadable(fd, QDeadlineTimer(100))) {
            char buffer[16];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                reply.append(buffer, n);
            } else {
                hangUp(); // it hung up without an answer: it is ending
            }
            if (reply == kRaised) {
                hangUp();
                return HandOver::Raised;
            }
        } else if (fd < 0) {
            ::usleep(50 * 1000);
        }
        // Not listening yet (still starting), or gone: a program that has just ended
        // leaves the folder free.
        if (m_lockFd >= 0 && tryLock()) {
            hangUp();
            listen();
            return HandOver::NowOwner;
        }
        if (deadline.hasExpired()) {
            hangUp();
            return HandOver::NoAnswer;
        }
    }
}

void FolderLock::stopServing()
{
    m_notifier.reset();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
}
