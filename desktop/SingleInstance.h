#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace tavi {

// One running program per program folder, so that two never write the same
// notes. The first start holds a lock on Data/tavi.lock and listens on a
// local socket named after the folder; a later start asks it to come to the
// front and ends. The lock is the kernel's (flock): it goes with the process,
// so a crash never leaves a lock that blocks the next start.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &programFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only running program of the folder (or the lock
    // cannot be taken at all, as when Data/ is missing: then there is nothing
    // to protect). False when another runs; it has been asked to show itself.
    bool claim();

    // The socket name for a folder: the same for every spelling of its path.
    static QString socketName(const QString &programFolder);

signals:
    // Another start of the same folder asked this one to come to the front.
    void showRequested();

private:
    bool askRunningToShow() const;

    QString folder_;
    int lockFd_ = -1;
    QLocalServer server_;
};

} // namespace tavi
