#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavi {

// SIGTERM and SIGHUP (the session ending, a logout, a service manager's
// stop) as a Qt signal on the thread that made this: the handler only writes
// to a pipe, and the program ends in its own time, its notes stored first.
// One at a time per program.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;

signals:
    void received(int signal);

private:
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace tavi
