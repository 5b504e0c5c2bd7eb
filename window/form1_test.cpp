#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <QAction>
#include <QMenu>
#include <cmath>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "figure/figure_fakes.h"
#include "figure/unfolding_figure.h"
#include "image/figure_image.h"
#include "image/png_file.h"
#include "window/form1.h"

using namespace tavelune;
using tavelune::testing::RecordingSurface;

namespace {

std::vector<std::uint32_t> PixelsOf(const RasterSurface& s) {
  return {s.Bits(), s.Bits() + static_cast<std::size_t>(s.Width()) * s.Height()};
}

int PaintedPixels(const RasterSurface& s) {
  int n = 0;
  for (const std::uint32_t p : PixelsOf(s)) n += (p & 0xffffffu) != 0;
  return n;
}

// Answers the next message box, keeping its text.
void AnswerTheNextBox(QStringList& shown) {
  QTimer::singleShot(0, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown << box->text();
      box->accept();
    }
  });
}

long VirtualBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  statm >> size;
  return size * sysconf(_SC_PAGESIZE);
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// A clock that presses the button a few more times from inside the first figure,
// as a user's impatient clicks arrive while the figure is painted.
class ImpatientClock final : public Clock {
 public:
  QPushButton* button = nullptr;
  int calls = 0;
  std::optional<float> SecondsSinceMidnight() override {
    if (++calls == 3 && button) {
      const QPointF at = QRectF(button->rect()).center();
      for (int i = 0; i < 4; ++i) {
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
          QCoreApplication::postEvent(button, new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                                                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                              Qt::NoModifier));
        }
      }
    }
    return 1000.0f + calls;
  }
};

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void laysOutTheSurfaceAndTheButton() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    QCOMPARE(form.windowTitle(), QString("Form1"));
    QCOMPARE(form.Picture1->geometry(), QRect(56, 64, 500, 500));
    QCOMPARE(form.Command1->geometry(), QRect(576, 544, 57, 17));
    QCOMPARE(form.Command1->text(), QString("new"));
    QVERIFY(form.width() >= 633 && form.height() >= 564);
    QVERIFY(form.minimumWidth() >= 633 && form.minimumHeight() >= 564);
    QCOMPARE(form.Picture1->nextInFocusChain(), static_cast<QWidget*>(form.Command1));
  }

  void paintsTheFirstFigureWhenFirstShown() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    QCOMPARE(PaintedPixels(form.Picture1->Surface()), 0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const int painted = PaintedPixels(form.Picture1->Surface());
    QVERIFY2(painted > 5000 && painted < 500 * 500, qPrintable(QString::number(painted)));
    QVERIFY(form.Picture1->Surface().FillSolid());
  }

  void aPressWipesTheSurfaceAndPaintsANewFigureWithTheDirectionsKept() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto first = PixelsOf(form.Picture1->Surface());

    // What the press must give: a black surface, then the next figure from the same
    // random state and the directions the first figure left.
    Pcg32Source randomThen = random;
    Directions directionsThen = form;
    RasterSurface expected;
    QVERIFY(expected.SetFillSolid() == Status::kOk);
    QVERIFY(DrawFigure(directionsThen, expected, {clock, randomThen}) == Status::kOk);

    QTest::mouseClick(form.Command1, Qt::LeftButton);
    const auto second = PixelsOf(form.Picture1->Surface());
    QVERIFY(second != first);
    QVERIFY(second == PixelsOf(expected));
    QCOMPARE(form.fre, directionsThen.fre);
    QCOMPARE(form.fgr, directionsThen.fgr);
    QCOMPARE(form.fbl, directionsThen.fbl);
    QCOMPARE(form.fr, directionsThen.fr);
  }

  void takesABurstOfPressesOneByOne() {
    ImpatientClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy clicks(form.Command1, &QPushButton::clicked);
    clock.button = form.Command1;
    QTest::mouseClick(form.Command1, Qt::LeftButton);  // the clock's third call, inside this figure
    QTRY_COMPARE(clicks.count(), 5);
    QCOMPARE(clock.calls, 2 + 5);  // one reseed at load and one per figure
  }

  void tellsTheUserWhenAHandlerFailsAndKeepsRunning() {
    testing::FixedClock broken(std::nullopt);
    Pcg32Source random;
    Form1 form({broken, random});
    QStringList shown;
    AnswerTheNextBox(shown);
    form.show();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains("clock"), qPrintable(shown[0]));
    QCOMPARE(PaintedPixels(form.Picture1->Surface()), 0);
    AnswerTheNextBox(shown);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QCOMPARE(shown.size(), 2);
    QVERIFY(form.isVisible());
  }

  // A new pixel density repaints the same figure at it, and the next figure goes on from
  // the directions the figure left, as if nothing had happened.
  void aNewPixelDensityRepaintsTheSameFigure() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto code = form.FigureCode();
    QVERIFY(code.has_value());
    const Directions left = form;

    form.Picture1_DensityChanged(2);
    const RasterSurface& sharp = form.Picture1->Surface();
    QCOMPARE(sharp.Width(), 1000);
    QCOMPARE(form.Picture1->Image().devicePixelRatio(), 2.0);
    RasterSurface expected(500, 500, 2);
    QVERIFY(expected.SetFillSolid() == Status::kOk);
    (void)RepaintFigure(StartOf(*DecodeFigure(*code)), expected);
    QVERIFY(PixelsOf(sharp) == PixelsOf(expected));
    QCOMPARE(form.FigureCode(), code);
    QCOMPARE(form.fre, left.fre);
    QCOMPARE(form.fr, left.fr);

    Pcg32Source randomThen = random;
    Directions directionsThen = left;
    RasterSurface next(500, 500, 2);
    QVERIFY(next.SetFillSolid() == Status::kOk);
    QVERIFY(DrawFigure(directionsThen, next, {clock, randomThen}) == Status::kOk);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    form.Picture1_DensityChanged(2);  // the offscreen screen itself stays at 1
    QVERIFY(PixelsOf(form.Picture1->Surface()) == PixelsOf(next));
  }

  // A density whose image cannot be allocated keeps the last figure and says so.
  void aSurfaceThatCannotBeAllocatedKeepsTheLastFigure() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto before = PixelsOf(form.Picture1->Surface());
    QStringList shown;
    AnswerTheNextBox(shown);
    // Room for the message box, not for 4000 x 4000 pixels.
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_AS, &limit) == 0);
    const rlimit tight{static_cast<rlim_t>(VirtualBytes() + (48L << 20)), limit.rlim_max};
    QVERIFY(setrlimit(RLIMIT_AS, &tight) == 0);
    form.Picture1_DensityChanged(8);
    QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains("memory"), qPrintable(shown[0]));
    QCOMPARE(form.Picture1->Surface().Scale(), 1.0);
    QVERIFY(PixelsOf(form.Picture1->Surface()) == before);
  }

  // The figure of a code is the first one; "new" goes on from the directions it left.
  void opensWithTheFigureOfACode() {
    testing::FixedClock clock;
    Pcg32Source random;
    const CodedFigure coded{0x0123456789abcdefULL, {-1, 1, -1, 1}};
    Form1 form({clock, random});
    form.SetFirstFigure(StartOf(coded));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.FigureCode(), std::optional<std::string>(EncodeFigure(coded)));
    QCOMPARE(form.Picture1->toolTip(), QString::fromStdString(EncodeFigure(coded)));
    RasterSurface expected;
    QVERIFY(expected.SetFillSolid() == Status::kOk);
    const Directions left = RepaintFigure(StartOf(coded), expected);
    QVERIFY(PixelsOf(form.Picture1->Surface()) == PixelsOf(expected));
    QCOMPARE(form.fre, left.fre);
    QCOMPARE(form.fgr, left.fgr);
    QCOMPARE(form.fbl, left.fbl);
    QCOMPARE(form.fr, left.fr);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QVERIFY(form.FigureCode() != std::optional<std::string>(EncodeFigure(coded)));
  }

  // Saving writes the surface's pixels with the code, whole or not at all.
  void savesTheFigureAsPngWithItsCode() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.png");
    QCOMPARE(form.SaveFigure(path), QString());
    QImage saved(path);
    QCOMPARE(saved.size(), QSize(500, 500));
    QCOMPARE(saved.text(kFigureCodeKey), QString::fromStdString(*form.FigureCode()));
    QVERIFY(saved.convertToFormat(QImage::Format_RGB32) == form.Picture1->Image());

    const QString missing = dir.filePath("no/such/folder/kept.png");
    const QString failure = form.SaveFigure(missing);
    QVERIFY2(failure.contains(missing), qPrintable(failure));
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.png"});  // nothing half-written

    form.CopyFigure();
    QVERIFY(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) == form.Picture1->Image());
  }

  // The keyboard reaches "new" in every way a user tries, and a screen reader finds the
  // picture by name, with the code as its description.
  void theKeyboardPaintsNewFiguresAndThePictureHasAName() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Picture1->accessibleName(), QString("Figure"));
    QCOMPARE(form.Command1->accessibleName().isEmpty() ? form.Command1->text() : form.Command1->accessibleName(), QString("new"));
    form.activateWindow();
    form.Command1->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::New), QKeySequence(Qt::Key_F5),
                                     QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
      const auto before = form.FigureCode();
      QTest::keySequence(QApplication::focusWidget(), keys);
      QTRY_VERIFY2(form.FigureCode() != before, qPrintable(keys.toString()));
      QCOMPARE(form.Picture1->accessibleDescription(), QString::fromStdString(*form.FigureCode()));
    }
    // Shift+F10 opens the picture's context menu, as the Menu key does.
    QString firstItem;
    QTimer::singleShot(0, [&firstItem] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        firstItem = menu->actions().value(0)->text();
        menu->close();
      }
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(firstItem, QString("Copy"));
  }

  // Watching: at every moment the picture is the figure's first discs, and in the end the
  // whole figure, as painted at once. The pace comes from a fake clock.
  void aWatchedFigureUnfoldsInOrderAndEndsAsThePaintedOne() {
    testing::FixedClock clock;
    Pcg32Source random;
    double now = 0;
    Form1 form({clock, random});
    form.SetSteadyClock([&now] { return now; });
    form.Watch(5);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.Unfolding());
    const FigureStart start = StartOf(*DecodeFigure(*form.FigureCode()));
    UnfoldingFigure reference(start);
    RasterSurface expected;
    QVERIFY(expected.SetFillSolid() == Status::kOk);
    for (const double at : {0.5, 1.25, 3.0, 4.999}) {
      now = at;
      // A frame paints what is due, within its budget; the frames after it catch up.
      const long due = static_cast<long>(std::ceil(UnfoldingFigure::kSteps * at / 5));
      for (long before = -1; form.UnfoldedSteps() != before;) {
        before = form.UnfoldedSteps();
        form.Picture1_Frame();
        reference.PaintUpTo(form.UnfoldedSteps(), expected);
        QVERIFY2(PixelsOf(form.Picture1->Surface()) == PixelsOf(expected), qPrintable(QString::number(at)));
      }
      QCOMPARE(form.UnfoldedSteps(), due);
      QVERIFY(form.Unfolding());
    }
    now = 5;
    while (form.Unfolding()) form.Picture1_Frame();
    RasterSurface atOnce;
    QVERIFY(atOnce.SetFillSolid() == Status::kOk);
    const Directions left = RepaintFigure(start, atOnce);
    QVERIFY(PixelsOf(form.Picture1->Surface()) == PixelsOf(atOnce));
    QCOMPARE(form.fre, left.fre);
    QCOMPARE(form.fgr, left.fgr);
    QCOMPARE(form.fbl, left.fbl);
    QCOMPARE(form.fr, left.fr);
  }

  // "new" while a figure unfolds: the rest is computed at once, so the next figure begins
  // with the directions the whole figure leaves; switching watching off completes it.
  void aPressWhileUnfoldingStartsTheNextFromTheWholeFiguresDirections() {
    testing::FixedClock clock;
    Pcg32Source random;
    double now = 0;
    Form1 form({clock, random});
    form.SetSteadyClock([&now] { return now; });
    form.Watch(5);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const FigureStart first = StartOf(*DecodeFigure(*form.FigureCode()));
    now = 0.7;
    form.Picture1_Frame();
    RecordingSurface ignored;
    const Directions left = RepaintFigure(first, ignored);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QVERIFY(form.Unfolding());
    const auto second = DecodeFigure(*form.FigureCode());
    QCOMPARE(second->directions.fre, left.fre);
    QCOMPARE(second->directions.fgr, left.fgr);
    QCOMPARE(second->directions.fbl, left.fbl);
    QCOMPARE(second->directions.fr, left.fr);
    QCOMPARE(PaintedPixels(form.Picture1->Surface()), 0);  // wiped; the new one starts at its first disc

    form.Watch(0);
    QVERIFY(!form.Unfolding());
    RasterSurface whole;
    QVERIFY(whole.SetFillSolid() == Status::kOk);
    (void)RepaintFigure(StartOf(*second), whole);
    QVERIFY(PixelsOf(form.Picture1->Surface()) == PixelsOf(whole));
    form.close();  // closing while unfolding is taken at once
    QVERIFY(!form.isVisible());
  }

  // Back and forward through the figures of the run, each repainted from its code, and "new"
  // after going back goes on from the figure on screen, dropping those ahead.
  void goesBackAndForwardThroughTheFiguresShown() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    std::vector<std::string> codes{*form.FigureCode()};
    for (int i = 0; i < 2; ++i) {
      QTest::mouseClick(form.Command1, Qt::LeftButton);
      codes.push_back(*form.FigureCode());
    }
    QVERIFY(!form.NextAction->isEnabled());
    auto shows = [&form](const std::string& code) {
      RasterSurface expected;
      (void)expected.SetFillSolid();
      const Directions left = RepaintFigure(StartOf(*DecodeFigure(code)), expected);
      return form.FigureCode() == code && PixelsOf(form.Picture1->Surface()) == PixelsOf(expected) &&
             form.fre == left.fre && form.fgr == left.fgr && form.fbl == left.fbl && form.fr == left.fr;
    };
    form.PreviousAction->trigger();
    form.PreviousAction->trigger();
    QVERIFY(shows(codes[0]));
    QVERIFY(!form.PreviousAction->isEnabled());
    form.NextAction->trigger();
    QVERIFY(shows(codes[1]));
    QVERIFY(form.NextAction->isEnabled());

    form.CopyCodeAction->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(codes[1]));

    const Directions left = form;
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    const auto fourth = DecodeFigure(*form.FigureCode());
    QCOMPARE(fourth->directions.fre, left.fre);
    QCOMPARE(fourth->directions.fr, left.fr);
    QVERIFY(!form.NextAction->isEnabled());
    form.PreviousAction->trigger();
    QVERIFY(shows(codes[1]));
  }

  // Full screen: the figure alone, centred, at the screen's device pixels, painted again
  // from its code; Esc gives back the window's layout.
  void fullScreenShowsTheSameFigureAsLargeAsTheScreenAllows() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const std::string code = *form.FigureCode();
    form.FullScreenAction->trigger();
    QTRY_VERIFY(form.isFullScreen());
    const QSize screen = form.size();
    const int side = std::min(screen.width(), screen.height());
    QCOMPARE(form.Picture1->geometry(), QRect((screen.width() - side) / 2, (screen.height() - side) / 2, side, side));
    QVERIFY(form.Command1->isHidden());
    QTRY_COMPARE(form.Picture1->Surface().Width(), side);
    RasterSurface expected(500, 500, side / 500.0);
    (void)expected.SetFillSolid();
    (void)RepaintFigure(StartOf(*DecodeFigure(code)), expected);
    QVERIFY(PixelsOf(form.Picture1->Surface()) == PixelsOf(expected));

    QTest::keyClick(&form, Qt::Key_Escape);
    QTRY_VERIFY(!form.isFullScreen());
    QCOMPARE(form.Picture1->geometry(), QRect(56, 64, 500, 500));
    QCOMPARE(form.Command1->geometry(), QRect(576, 544, 57, 17));
    QVERIFY(form.Command1->isVisible());
    QTRY_COMPARE(form.Picture1->Surface().Width(), 500);
    QCOMPARE(form.FigureCode(), std::optional<std::string>(code));
  }

  // The slideshow paints the next figure once the last has been shown for its pause.
  void theSlideshowPaintsTheNextFigureAfterThePause() {
    testing::FixedClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto first = form.FigureCode();
    form.Slideshow(1);
    QVERIFY(form.SlideshowAction->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(form.FigureCode() != first, 10000);
    form.Slideshow(0);
  }

  void twoHundredPressesKeepTheMemoryFlat() {
    SystemClock clock;
    Pcg32Source random;
    Form1 form({clock, random});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    long afterTenth = 0;
    for (int press = 1; press <= 200; ++press) {
      QTest::mouseClick(form.Command1, Qt::LeftButton);
      QCoreApplication::processEvents();
      if (press == 10) afterTenth = ResidentBytes();
    }
    const long growth = ResidentBytes() - afterTenth;
    qInfo("resident memory grew by %ld KiB from the 10th press to the 200th", growth / 1024);
    QVERIFY2(growth < 4L << 20, qPrintable(QString("grew by %1 bytes").arg(growth)));
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
