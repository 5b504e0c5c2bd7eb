// What the end-to-end test needs that the X tools do not give: reading xwd screenshots,
// judging what they show, and asking a window to close as a window manager does.
//   screen_probe figure SHOT.xwd [SCALE]  a figure on the black surface, the button beside it;
//                                         at a SCALE above 1, detail finer than SCALE pixels
//   screen_probe figure-anywhere SHOT.png the same, the window anywhere on a desktop's screenshot
//   screen_probe changed A.xwd B.xwd      the surface differs between the two
//   screen_probe png SHOT.xwd OUT.png [SCALE]  the surface and button, as a PNG
//   screen_probe same SHOT.xwd IMAGE.png  the image holds exactly the surface's pixels
//   screen_probe centred SHOT.xwd IMAGE.png  the image exactly, centred, on black all round
//   screen_probe fills SHOT.xwd           a figure as large as the shot's shorter side, centred on black
//   screen_probe close WINDOW-ID          a WM_DELETE_WINDOW client message
//   screen_probe make-window W H          makes and maps a window, prints its id, and keeps it
//                                         until it is killed
#include <QFile>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

// After Qt: Xlib's macros (Status, Bool, ...) would break Qt's headers.
#include <X11/Xlib.h>

namespace {

constexpr QRect kSurface{56, 64, 500, 500};
constexpr QRect kButton{576, 544, 57, 17};

std::uint32_t BigEndian(const uchar* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// A ZPixmap xwd file of 32 bits per pixel, as xwd writes for a 24-bit TrueColor screen.
QImage ReadXwd(const char* path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = file.readAll();
  if (data.size() < 100) return {};
  const auto* h = reinterpret_cast<const uchar*>(data.constData());
  auto field = [&](int i) { return BigEndian(h + 4 * i); };
  const std::uint32_t headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7),
                      bitsPerPixel = field(11), bytesPerLine = field(12), ncolors = field(19);
  const qsizetype offset = qsizetype(headerSize) + 12 * qsizetype(ncolors);
  if (field(1) != 7 || bitsPerPixel != 32 || width > 10000 || height > 10000 ||
      data.size() < offset + qsizetype(bytesPerLine) * height) {
    return {};
  }
  QImage image(int(width), int(height), QImage::Format_RGB32);
  for (std::uint32_t y = 0; y < height; ++y) {
    const uchar* row = h + offset + qsizetype(bytesPerLine) * y;
    for (std::uint32_t x = 0; x < width; ++x) {
      const uchar* p = row + 4 * x;
      const std::uint32_t v = byteOrder == 0 ? std::uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0] : BigEndian(p);
      image.setPixel(int(x), int(y), 0xff000000u | (v & 0xffffffu));
    }
  }
  return image;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "screen_probe: %s\n", why.c_str());
  return 1;
}

int CountIf(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += test(image.pixel(x, y));
  return n;
}

bool IsBlack(QRgb p) { return (p & 0xffffffu) == 0; }
bool IsColoured(QRgb p) { return !IsBlack(p); }

QRect Scaled(const QRect& r, int scale) { return {r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale}; }

// Aligned 2 x 2 blocks of the area that are not of one colour: none where a figure of
// half the resolution is shown enlarged.
int MixedBlocks(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y + 1 <= area.bottom(); y += 2) {
    for (int x = area.left(); x + 1 <= area.right(); x += 2) {
      const QRgb p = image.pixel(x, y);
      n += image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p;
    }
  }
  return n;
}

// The surface where the window's own layout puts it, or, in a screenshot of a whole
// desktop, where the first row of exactly its width of pure black, with none beside it, is.
std::optional<QPoint> FindSurface(const QImage& shot, int scale, bool anywhere) {
  if (!anywhere) return kSurface.topLeft() * scale;
  const int side = kSurface.width() * scale;
  for (int y = 0; y < shot.height(); ++y) {
    int run = 0;
    for (int x = 0; x <= shot.width(); ++x) {
      if (x < shot.width() && IsBlack(shot.pixel(x, y))) {
        ++run;
        continue;
      }
      if (run == side) return QPoint(x - side, y);
      run = 0;
    }
  }
  return std::nullopt;
}

int CheckFigure(const QImage& shot, int scale, bool anywhere = false) {
  const std::optional<QPoint> at = FindSurface(shot, scale, anywhere);
  if (!at) return Fail("no surface in the screenshot");
  const QPoint shift = *at - kSurface.topLeft() * scale;
  const QRect surface = Scaled(kSurface, scale).translated(shift), button = Scaled(kButton, scale).translated(shift);
  if (!shot.rect().contains(surface.united(button))) return Fail("the screenshot does not hold the surface and the button");
  // The discs never come within 11 pixels of the surface's edges: a frame of pure black.
  const int margin = 11 * scale;
  const QRect inner = surface.adjusted(margin, margin, -margin, -margin);
  const int frame = CountIf(shot, surface, IsColoured) - CountIf(shot, inner, IsColoured);
  const int painted = CountIf(shot, inner, IsColoured);
  std::printf("surface: %d x %d device pixels, %d painted, %d outside the figure's reach; button: %d dark pixels\n",
              surface.width(), surface.height(), painted, frame, CountIf(shot, button, IsBlack));
  if (frame != 0) return Fail("the surface's border is not black");
  if (painted < 5000 * scale * scale) return Fail("no figure on the surface");
  if (painted > inner.width() * inner.height() * 95 / 100) return Fail("the surface is painted over, not a figure");
  // The button is drawn in the style's light colours, not in the surface's black.
  if (CountIf(shot, button, IsBlack) > button.width() * button.height() / 2) return Fail("no button beside the surface");
  if (scale > 1) {
    const int mixed = MixedBlocks(shot, inner);
    std::printf("%d aligned 2 x 2 blocks are not of one colour\n", mixed);
    if (mixed < 1000) return Fail("the figure is an enlarged image, not painted at the device's pixels");
  }
  return 0;
}

int CheckCentred(const QImage& shot, const QImage& image) {
  const QRect at(QPoint((shot.width() - image.width()) / 2, (shot.height() - image.height()) / 2), image.size());
  if (!shot.rect().contains(at)) return Fail("the image is larger than the screenshot");
  if (shot.copy(at) != image) return Fail("the centre of the screenshot differs from the image");
  const int around = CountIf(shot, shot.rect(), IsColoured) - CountIf(shot, at, IsColoured);
  if (around != 0) return Fail(std::to_string(around) + " pixels around the figure are not black");
  std::printf("the %d x %d figure stands centred on a black %d x %d screen\n", image.width(), image.height(),
              shot.width(), shot.height());
  return 0;
}

// A figure's discs keep 11 of its 500 units from its edges, and it covers well over 2 % of it.
int CheckFills(const QImage& shot) {
  const int side = std::min(shot.width(), shot.height());
  const QRect square(QPoint((shot.width() - side) / 2, (shot.height() - side) / 2), QSize(side, side));
  const int margin = 11 * side / 500;
  const QRect reach = square.adjusted(margin, margin, -margin, -margin);
  const int outside = CountIf(shot, shot.rect(), IsColoured) - CountIf(shot, reach, IsColoured);
  const int painted = CountIf(shot, reach, IsColoured);
  std::printf("%d x %d: %d pixels painted within the centred %d x %d square, %d beyond its reach\n", shot.width(),
              shot.height(), painted, side, side, outside);
  if (outside != 0) return Fail("the figure is not centred on black, or is larger than the shorter side");
  if (painted < side * side / 50) return Fail("no figure fills the shorter side");
  // Each quarter of the square has paint: the figure spans it, it is not a small one in a corner.
  const int half = side / 2;
  int quarters = 0;
  for (const QPoint corner : {QPoint(0, 0), QPoint(half, 0), QPoint(0, half), QPoint(half, half)}) {
    quarters += CountIf(shot, QRect(square.topLeft() + corner, QSize(half, half)), IsColoured) > 0;
  }
  return quarters >= 3 ? 0 : Fail("the figure does not span the shorter side");
}

int MakeWindow(int width, int height) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return Fail("cannot open the display");
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}

int CloseWindow(const char* id) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return Fail("cannot open the display");
  const Window window = std::strtoul(id, nullptr, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const int sent = XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return sent ? 0 : Fail("the close request was not sent");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "close" && argc == 3) return CloseWindow(argv[2]);
  if (command == "make-window" && argc == 4) return MakeWindow(std::atoi(argv[2]), std::atoi(argv[3]));
  if (command == "fills" && argc == 3) {
    const QImage shot = ReadXwd(argv[2]);
    return shot.isNull() ? Fail("cannot read the screenshot") : CheckFills(shot);
  }
  if (command == "figure" && (argc == 3 || argc == 4)) {
    const QImage shot = ReadXwd(argv[2]);
    return shot.isNull() ? Fail("cannot read the screenshot") : CheckFigure(shot, argc == 4 ? std::atoi(argv[3]) : 1);
  }
  if (command == "figure-anywhere" && argc == 3) {
    const QImage shot = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    return shot.isNull() ? Fail("cannot read the screenshot") : CheckFigure(shot, 1, true);
  }
  if (command == "same" && argc == 4) {
    const QImage shot = ReadXwd(argv[2]);
    const QImage image = QImage(argv[3]).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || image.isNull()) return Fail("cannot read the screenshot or the image");
    if (image.size() != kSurface.size()) return Fail("the image is not the surface's size");
    return image == shot.copy(kSurface) ? 0 : Fail("the image differs from the surface on the screen");
  }
  if (command == "centred" && argc == 4) {
    const QImage shot = ReadXwd(argv[2]);
    const QImage image = QImage(argv[3]).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || image.isNull()) return Fail("cannot read the screenshot or the image");
    return CheckCentred(shot, image);
  }
  if (command == "changed" && argc == 4) {
    const QImage a = ReadXwd(argv[2]), b = ReadXwd(argv[3]);
    if (a.isNull() || b.isNull()) return Fail("cannot read the screenshots");
    return a.copy(kSurface) != b.copy(kSurface) ? 0 : Fail("the figure did not change");
  }
  if (command == "png" && (argc == 4 || argc == 5)) {
    const QImage shot = ReadXwd(argv[2]);
    if (shot.isNull()) return Fail("cannot read the screenshot");
    const int scale = argc == 5 ? std::atoi(argv[4]) : 1;
    const QRect window(0, 0, kButton.right() + kSurface.left() + 1, kSurface.bottom() + kSurface.top() + 1);
    return shot.copy(Scaled(window, scale))
                   .save(argv[3], "PNG")
               ? 0
               : Fail("cannot write the PNG");
  }
  return Fail("usage: figure SHOT [SCALE] | figure-anywhere SHOT | changed A B | png SHOT OUT [SCALE] | same SHOT IMAGE | centred SHOT IMAGE | fills SHOT | close WINDOW-ID | make-window W H");
}
