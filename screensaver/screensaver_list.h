#pragma once

#include <QString>
#include <optional>
#include <string>

// xscreensaver keeps its list of screensavers in the resource `programs`: in the user's
// ~/.xscreensaver, or, until the user first saves a setting, in the system's app-defaults
// file, which belongs to xscreensaver's package and which no other package may change. So
// tavelune joins the user's own list, at the user's asking.

// The entry tavelune adds, as xscreensaver's settings write one.
inline constexpr char kScreensaverEntry[] = "\t\t\t\ttavelune --root\t\t\t\t    \\n";

// The init file `init` with tavelune added at the end of its list, every other byte as it
// was, so that the user's comments, order and choices stay, and `selected` still names the
// same screensaver; the file unchanged where tavelune is listed already. Where there is no
// init file, one with the system's list (app-defaults file `system`) and tavelune. Nothing
// where neither has a list to add to.
std::optional<std::string> WithTaveluneListed(const std::optional<std::string>& init, const std::string& system);

// Whether a list entry's command is tavelune's, however it is written (enabled or not,
// with a visual, a name in quotes, or a path).
bool IsTaveluneEntry(const std::string& entry);

// Adds tavelune to the list in the init file `init_path` (~/.xscreensaver where empty),
// taking the system's list from `system_path` where the file does not exist yet; the file
// is replaced only once the new one is whole. What happened, in a sentence for the user.
struct ScreensaverListing {
  bool ok;
  QString message;
};
ScreensaverListing AddTaveluneToScreensavers(QString init_path = {},
                                            const QString& system_path = "/etc/X11/app-defaults/XScreenSaver");
