#include "screensaver/host_window.h"

#include <QSocketNotifier>
#include <cstdlib>

// After Qt: Xlib's macros (Status, Bool, ...) would break Qt's headers.
#include <X11/Xlib.h>

namespace {

bool badWindow = false;

int NoteBadWindow(Display*, XErrorEvent* error) {
  badWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
  return 0;
}

// The display went away: a screensaver then simply ends, quietly, as it would on SIGTERM.
int DisplayGone(Display*) { std::_Exit(0); }

Display* Xlib(void* display) { return static_cast<Display*>(display); }

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Open(unsigned long id, QString& why) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    why = QObject::tr("the X display could not be opened (DISPLAY=%1)").arg(qEnvironmentVariable("DISPLAY"));
    return nullptr;
  }
  XSetIOErrorHandler(DisplayGone);
  const auto previous = XSetErrorHandler(NoteBadWindow);
  badWindow = false;
  XWindowAttributes attributes{};
  const bool found = XGetWindowAttributes(display, id, &attributes) != 0 && !badWindow;
  if (found) XSelectInput(display, id, StructureNotifyMask);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!found || badWindow) {
    XCloseDisplay(display);
    why = QObject::tr("there is no X window 0x%1 on this display").arg(id, 0, 16);
    return nullptr;
  }
  return std::unique_ptr<HostWindow>(new HostWindow(display, id, QSize(attributes.width, attributes.height)));
}

unsigned long HostWindow::RootOrDaemonWindow() {
  bool isNumber = false;
  const QString daemons = qEnvironmentVariable("XSCREENSAVER_WINDOW");
  const unsigned long id = daemons.startsWith("0x", Qt::CaseInsensitive) ? daemons.mid(2).toULong(&isNumber, 16)
                                                                         : daemons.toULong(&isNumber, 10);
  if (isNumber && id != 0) return id;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  const unsigned long root = DefaultRootWindow(display);
  XCloseDisplay(display);
  return root;
}

HostWindow::HostWindow(void* display, unsigned long id, QSize size) : display_(display), id_(id), size_(size) {
  auto* notifier = new QSocketNotifier(ConnectionNumber(Xlib(display_)), QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &HostWindow::ReadEvents);
}

HostWindow::~HostWindow() { XCloseDisplay(Xlib(display_)); }

void HostWindow::ReadEvents() {
  while (XPending(Xlib(display_)) > 0) {
    XEvent event;
    XNextEvent(Xlib(display_), &event);
    if (event.type == ConfigureNotify && event.xconfigure.window == static_cast<Window>(id_)) {
      const QSize size(event.xconfigure.width, event.xconfigure.height);
      if (size != size_) emit resized(size_ = size);
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == static_cast<Window>(id_)) {
      emit gone();
    }
  }
}
