#include "screensaver/screensaver_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <string_view>
#include <vector>

namespace {

struct Line {
  std::size_t begin, end;  // the line's text, without its newline
};

std::vector<Line> LinesOf(const std::string& text) {
  std::vector<Line> lines;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t newline = text.find('\n', begin);
    const std::size_t end = newline == std::string::npos ? text.size() : newline;
    lines.push_back({begin, end});
    begin = end + 1;
  }
  return lines;
}

std::string_view Trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

// The lines of the resource `programs` (or `*programs`, as app-defaults writes it): its
// first line, and the one past the last that a backslash continues.
struct Resource {
  std::size_t first, end;
};

std::optional<Resource> ProgramsIn(const std::string& text, const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = Trimmed(std::string_view(text).substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (line.substr(0, 1) == "*") line.remove_prefix(1);
    if (line.substr(0, 8) != "programs" || Trimmed(line.substr(8)).substr(0, 1) != ":") continue;
    std::size_t end = i;
    while (end < lines.size() && text.substr(lines[end].begin, lines[end].end - lines[end].begin).ends_with('\\')) ++end;
    return Resource{i, std::min(end + 1, lines.size())};
  }
  return std::nullopt;
}

// The value of the resource as one string, the backslash-newlines taken out; its entries are
// separated by the two characters \n.
std::string ValueOf(const std::string& text, const std::vector<Line>& lines, Resource r) {
  std::string value;
  for (std::size_t i = r.first; i < r.end; ++i) {
    std::string_view line = std::string_view(text).substr(lines[i].begin, lines[i].end - lines[i].begin);
    if (i == r.first) line.remove_prefix(line.find(':') + 1);
    if (line.ends_with('\\')) line.remove_suffix(1);
    value += line;
  }
  return value;
}

bool ListsTavelune(const std::string& value) {
  for (std::size_t begin = 0; begin <= value.size();) {
    std::size_t end = value.find("\\n", begin);
    if (end == std::string::npos) end = value.size();
    if (IsTaveluneEntry(value.substr(begin, end - begin))) return true;
    begin = end + 2;
  }
  return false;
}

// The resource's lines with tavelune's entry after the last: where the last ends its entry
// with \n, a backslash continues it onto the new line.
std::string Appended(const std::string& text, const std::vector<Line>& lines, Resource r) {
  const Line last = lines[r.end - 1];
  std::string_view tail = Trimmed(std::string_view(text).substr(last.begin, last.end - last.begin));
  const bool header_only = r.end - 1 == r.first && Trimmed(tail.substr(tail.find(':') + 1)).empty();
  std::string joint = header_only ? "\t\\" : tail.ends_with("\\n") ? "\\" : "\\n\\";
  std::string out = text.substr(0, last.end) + joint + "\n" + kScreensaverEntry;
  if (last.end < text.size()) out += text.substr(last.end);
  else out += "\n";
  return out;
}

}  // namespace

bool IsTaveluneEntry(const std::string& entry) {
  std::string_view e = Trimmed(entry);
  if (e.substr(0, 1) == "-") e = Trimmed(e.substr(1));  // disabled
  // A visual ("GL:", "default:") and a name in quotes may come before the command.
  if (const std::size_t colon = e.find(':'); colon != std::string_view::npos &&
                                             e.substr(0, colon).find_first_of(" \t\"") == std::string_view::npos) {
    e = Trimmed(e.substr(colon + 1));
  }
  if (e.substr(0, 1) == "\"") {
    const std::size_t close = e.find('"', 1);
    e = close == std::string_view::npos ? std::string_view() : Trimmed(e.substr(close + 1));
  }
  std::string_view command = e.substr(0, e.find_first_of(" \t"));
  if (const std::size_t slash = command.rfind('/'); slash != std::string_view::npos) command.remove_prefix(slash + 1);
  return command == "tavelune";
}

std::optional<std::string> WithTaveluneListed(const std::optional<std::string>& init, const std::string& system) {
  if (init) {
    const std::vector<Line> lines = LinesOf(*init);
    const std::optional<Resource> programs = ProgramsIn(*init, lines);
    if (!programs) {
      // A file that sets no list takes the system's: that list, as the file's own, with tavelune.
      std::optional<std::string> list = WithTaveluneListed(std::nullopt, system);
      if (!list) return std::nullopt;
      return *init + (init->empty() || init->ends_with('\n') ? "" : "\n") + *list;
    }
    if (ListsTavelune(ValueOf(*init, lines, *programs))) return init;
    return Appended(*init, lines, *programs);
  }
  const std::vector<Line> lines = LinesOf(system);
  const std::optional<Resource> programs = ProgramsIn(system, lines);
  if (!programs) return std::nullopt;
  std::string list;
  for (std::size_t i = programs->first; i < programs->end; ++i) {
    std::string_view line = std::string_view(system).substr(lines[i].begin, lines[i].end - lines[i].begin);
    if (i == programs->first && line.substr(0, 1) == "*") line.remove_prefix(1);
    list += std::string(line) + "\n";
  }
  if (ListsTavelune(ValueOf(system, lines, *programs))) return list;
  return Appended(list, LinesOf(list), {0, programs->end - programs->first});
}

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("Screensaver", text); }

std::optional<std::string> Contents(const QString& path, QString& why) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    why = file.errorString();
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    why = file.errorString();
    return std::nullopt;
  }
  return bytes.toStdString();
}

}  // namespace

ScreensaverListing AddTaveluneToScreensavers(QString init_path, const QString& system_path) {
  if (init_path.isEmpty()) init_path = QDir::home().filePath(".xscreensaver");
  const QFileInfo info(init_path);
  // A link's target is written, and the link kept.
  const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : init_path;
  QString why;
  std::optional<std::string> init;
  if (info.exists()) {
    init = Contents(target, why);
    if (!init) return {false, Tr("%1 cannot be read: %2").arg(init_path, why)};
    // Read-only is the user's word, which root respects too.
    if (!info.isWritable() || !(QFileInfo(target).permissions() & QFileDevice::WriteOwner)) return {false, Tr("%1 cannot be written: it is read-only").arg(init_path)};
  }
  const std::string system = QFileInfo::exists(system_path) ? Contents(system_path, why).value_or("") : "";
  const std::optional<std::string> listed = WithTaveluneListed(init, system);
  if (!listed) {
    return {false, Tr("xscreensaver's list of screensavers is neither in %1 nor in %2: is xscreensaver installed?")
                       .arg(init_path, system_path)};
  }
  if (listed == init) return {true, Tr("Tavelune is in xscreensaver's list already (%1).").arg(init_path)};
  QSaveFile file(target);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(listed->data(), static_cast<qint64>(listed->size())) != static_cast<qint64>(listed->size()) ||
      !file.commit()) {
    return {false, Tr("%1 cannot be written: %2").arg(init_path, file.errorString())};
  }
  return {true, Tr("Tavelune is now in xscreensaver's list (%1): choose it in xscreensaver-settings.").arg(init_path)};
}
