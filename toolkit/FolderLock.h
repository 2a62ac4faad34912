#pragma once

#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

// One program per data folder. Two programs on one bank would each draw the exam paper
// into the same table and each compact the file under the other, so the first start
// holds a lock in the folder for as long as it runs and a later start hands over to it.
//
// The lock is flock(2) on ".taviro.lock": the system drops it with the process, so a
// program that was killed or lost its power leaves nothing that blocks the next start.
// A later start asks the running one, over a socket of the abstract namespace named
// after the user and the folder, to bring its window to the front; it writes nothing in
// the folder.
class FolderLock
{
public:
    enum class State
    {
        Owner,    // this program owns the folder
        Running,  // another program owns it
        Unlocked, // no lock could be taken (a read-only folder): the program goes on
    };
    enum class HandOver
    {
        Raised,   // the running program came to the front
        NoAnswer, // it holds the lock but did not answer in time
        NowOwner, // it ended meanwhile: this program owns the folder now
    };

    // Takes the lock without waiting; works before the application object exists.
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State state() const { return m_state; }
    // Why the lock could not be taken, for the report of an Unlocked start.
    QString problem() const { return m_problem; }

    // The owner answers later starts by calling raise; needs the application object.
    void serve(std::function<void()> raise);
    // Stops answering: a program that is ending, whose later starts wait for its lock.
    void stopServing();
    // Asks the owner to come to the front, retrying while it is still starting.
    HandOver handOver(int timeoutMs);

    // The lock file of a folder.
    static QString lockFile(const QString& folder);

private:
    bool tryLock();
    void listen();
    void answer();

    State m_state = State::Unlocked;
    QString m_problem;
    QByteArray m_address;
    int m_lockFd = -1;
    int m_listenFd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_raise;
};
