#include "app/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1};

// A signal handler may do next to nothing: it writes one byte, and the event loop does the rest.
void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(wakeUp[0], &byte, 1);
}

}  // namespace

void OnTerminationSignals(void (*end)()) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeUp) != 0) return;
  auto* notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [end] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(wakeUp[1], &byte, 1);
    end();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}
