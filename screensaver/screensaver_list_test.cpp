#include "screensaver/screensaver_list.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// What xscreensaver's settings write, in short: comments, other settings, a list whose
// entries are \n-separated and continued by backslashes, one of them disabled.
constexpr char kUserFile[] =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "selected:\t1\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

constexpr char kSystemFile[] =
    "! app-defaults\n"
    "*timeout:\t0:10:00\n"
    "*programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\n"
    "\n"
    "*pointerHysteresis:\t10\n";

const std::string kEntry = kScreensaverEntry;

// Every case against the whole file expected: tavelune added once, after the last entry,
// everything else byte for byte.
TEST(ScreensaverList, TaveluneJoinsTheEndOfTheListOnceAndNothingElseChanges) {
  const std::string user = kUserFile;
  const struct {
    const char* what;
    std::optional<std::string> init;
    std::string system;
    std::optional<std::string> want;
  } cases[] = {
      {"the user's file", user, kSystemFile,
       "# XScreenSaver Preferences File\ntimeout:\t0:10:00\nselected:\t1\n"
       "programs:\t\t\t\t\t\t\t      \\\n\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
       "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n" +
           kEntry + "\n\npointerHysteresis:\t10\n"},
      {"no user's file: the system's list", std::nullopt, kSystemFile,
       "programs:\t\t\t\t\t\t\t      \\\n\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
       "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\\\n" + kEntry + "\n"},
      {"a file without a list takes the system's", "timeout:\t0:10:00", kSystemFile,
       "timeout:\t0:10:00\nprograms:\t\t\t\t\t\t\t      \\\n\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
       "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\\\n" + kEntry + "\n"},
      {"the last line without its newline", "programs: maze --root \\n", "", "programs: maze --root \\n\\\n" + kEntry + "\n"},
      {"an entry without \\n", "programs: maze --root\n", "", "programs: maze --root\\n\\\n" + kEntry + "\n"},
      {"an empty list", "programs:\n", "", "programs:\t\\\n" + kEntry + "\n"},
      {"listed already", "programs: \\\n  tavelune --root \\n\n", "", "programs: \\\n  tavelune --root \\n\n"},
      {"listed, disabled, by path and name", "programs: - \"Tavelune\" /usr/bin/tavelune --root --watch 3\n", "",
       "programs: - \"Tavelune\" /usr/bin/tavelune --root --watch 3\n"},
      {"no list anywhere", std::nullopt, "*timeout: 0:10:00\n", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> got = WithTaveluneListed(c.init, c.system);
    EXPECT_EQ(got, c.want) << c.what;
    if (got) {
      EXPECT_EQ(WithTaveluneListed(got, c.system), got) << c.what << ": added twice";
    }
  }
}

TEST(ScreensaverList, OnlyTavelunesCommandIsTavelunesEntry) {
  for (const char* entry : {"tavelune --root", "  -  GL: tavelune --root", "\"Tavelune\" tavelune", "/opt/x/tavelune"}) {
    EXPECT_TRUE(IsTaveluneEntry(entry)) << entry;
  }
  for (const char* entry : {"maze --root", "tavelune2 --root", "maze --text tavelune", "\"tavelune\" maze", ""}) {
    EXPECT_FALSE(IsTaveluneEntry(entry)) << entry;
  }
}

// The file as the user has it: written whole, through a link, refused where read-only.
TEST(ScreensaverList, TheInitFileIsReplacedWholeOrLeftAsItWas) {
  QTemporaryDir dir;
  const QString system = dir.filePath("XScreenSaver"), target = dir.filePath("real"), link = dir.filePath(".xscreensaver");
  auto write = [](const QString& path, const std::string& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
  };
  auto read = [](const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(none)");
  };
  write(system, kSystemFile);
  write(target, kUserFile);
  ASSERT_TRUE(QFile::link(target, link));
  EXPECT_TRUE(AddTaveluneToScreensavers(link, system).ok);
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(read(target), *WithTaveluneListed(std::string(kUserFile), kSystemFile));
  const ScreensaverListing again = AddTaveluneToScreensavers(link, system);
  EXPECT_TRUE(again.ok);
  EXPECT_TRUE(again.message.contains("already")) << again.message.toStdString();

  const QString fresh = dir.filePath("fresh");
  EXPECT_TRUE(AddTaveluneToScreensavers(fresh, system).ok);
  EXPECT_EQ(read(fresh), *WithTaveluneListed(std::nullopt, kSystemFile));

  const QString locked = dir.filePath("locked");
  write(locked, kUserFile);
  QFile::setPermissions(locked, QFileDevice::ReadOwner);
  const ScreensaverListing refused = AddTaveluneToScreensavers(locked, system);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(read(locked), kUserFile);
  EXPECT_FALSE(AddTaveluneToScreensavers(dir.filePath("none"), dir.filePath("no-system")).ok);
  EXPECT_FALSE(QFile::exists(dir.filePath("none")));
}

}  // namespace
