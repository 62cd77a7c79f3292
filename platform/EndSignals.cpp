#include "platform/EndSignals.h"

#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavi {
namespace {

int pipeEnds[2] = {-1, -1};

void onSignal(int signal)
{
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &number, 1); // async-signal-safe
}

} // namespace

EndSignals::EndSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return; // without the pipe the signals keep their default: the program ends
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        while (::read(pipeEnds[1], &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

EndSignals::~EndSignals()
{
    if (!notifier_)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

} // namespace tavi
