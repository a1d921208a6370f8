#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

class QLocalServer;

namespace rm {

// One program per device: a lock file held for the program's lifetime and a
// local server through which a later start asks the running program to come
// to the front. Both live in the per-user runtime folder and are named after
// the instance name ("Norvak_Pelk_SW" for the recorder).
//
// A crashed program leaves its socket file behind but no lock (the system
// drops a lock with its holder), so the next start gets in; the stale socket
// is removed only while holding the lock.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class StartDecision {
        Run,           // the lock is ours: go on starting
        OtherRaised,   // a running program answered the restore request: end quietly
        DeviceInUse,   // the lock is held and nobody answered: "Device in use ..."
    };

    // `name`: the lock and server name; `siblings`: the server names of the
    // programs sharing the device that are asked to come to the front (this
    // program's own name among them); `answerWait`: how long a start waits for
    // a running program's answer.
    SingleInstance(QString name, QStringList siblings,
                   std::chrono::milliseconds answerWait = std::chrono::milliseconds(2000),
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock if it is free, then asks every sibling in order to come
    // to the front; the first that answers ends the search.
    StartDecision start();
    bool holdsLock() const { return lockFd_ >= 0; }

    // Opens the server for later starts' restore requests (holding the lock
    // only); a stale socket of a crashed program is replaced.
    bool listen();

    QString lockPath() const;
    QString serverPath() const;
    // The path of a lock or server of `name` in the per-user runtime folder.
    static QString runtimePath(const QString& name, const QString& suffix);

    // Sends the restore request to the server `serverName` and waits at most
    // `wait` for its answer; true when it answered.
    static bool requestRestore(const QString& serverName, std::chrono::milliseconds wait);

signals:
    // A later start asked this program to come to the front.
    void restoreRequested();

private:
    bool tryLock();
    void answerConnections();

    QString name_;
    QStringList siblings_;
    std::chrono::milliseconds answerWait_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

// The recorder's instance name, which tests replace with one of their own.
inline constexpr char kRecorderInstanceName[] = "Norvak_Pelk_SW";

} // namespace rm
