#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <variant>
#include <vector>

using tavelune::CodedFigure;
using tavelune::CodeFault;

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("Options", text); }

constexpr unsigned Use(FrontEnd front_end) { return static_cast<unsigned>(front_end); }

struct Number {
  std::optional<double> ProgramOptions::*member;
  double min;
  double max;
};
using WindowId = std::optional<unsigned long> ProgramOptions::*;
using Store = std::variant<bool ProgramOptions::*, QString ProgramOptions::*, Number,
                           std::optional<CodedFigure> ProgramOptions::*, WindowId>;

struct Option {
  const char* name;
  const char* value_name;
  const char* description;
  unsigned front_ends;  // where it may be given
  bool chooses;         // giving it opens its front end, the one in front_ends
  Store store;
};

// Every option of the program, once: the parsing, the help and the choice of front end all
// follow from this table.
const Option kOptions[] = {
    {"png", "FILE",
     QT_TRANSLATE_NOOP("Options",
                       "Paint one figure into FILE, as PNG, without a window or a display, and print its code. "
                       "FILE - is standard output, and the code is then only in the file."),
     Use(FrontEnd::kPng), true, &ProgramOptions::png},
    {"figure", "CODE", QT_TRANSLATE_NOOP("Options", "Paint the figure of this code instead of a new one."),
     Use(FrontEnd::kWindow) | Use(FrontEnd::kPng) | Use(FrontEnd::kScreensaver), false, &ProgramOptions::figure},
    {"scale", "S", QT_TRANSLATE_NOOP("Options", "With --png, S pixels for every pixel of the surface, from 0.25 to 8."),
     Use(FrontEnd::kPng), false, Number{&ProgramOptions::scale, 0.25, 8}},
    {"watch", "SECONDS",
     QT_TRANSLATE_NOOP("Options", "Watch each figure paint itself over SECONDS, from 0.5 to 600 (the screensaver's: 10)."),
     Use(FrontEnd::kWindow) | Use(FrontEnd::kScreensaver), false, Number{&ProgramOptions::watch, 0.5, 600}},
    {"full-screen", nullptr, QT_TRANSLATE_NOOP("Options", "Show the figure alone on the whole screen; Esc or F11 goes back."),
     Use(FrontEnd::kWindow), false, &ProgramOptions::full_screen},
    {"slideshow", "SECONDS",
     QT_TRANSLATE_NOOP("Options",
                       "Paint a new figure SECONDS after the last is complete, from 1 to 86400 (the screensaver's: 5)."),
     Use(FrontEnd::kWindow) | Use(FrontEnd::kScreensaver), false, Number{&ProgramOptions::slideshow, 1, 86400}},
    {"root", nullptr,
     QT_TRANSLATE_NOOP("Options", "As a screensaver: paint figures on the root window, or on the window that "
                                  "XSCREENSAVER_WINDOW names."),
     Use(FrontEnd::kScreensaver), true, &ProgramOptions::root},
    {"window-id", "ID",
     QT_TRANSLATE_NOOP("Options", "As a screensaver: paint figures on the X window ID (decimal or 0x hex), "
                                  "with --root or without."),
     Use(FrontEnd::kScreensaver), true, WindowId{&ProgramOptions::window_id}},
    {"show-code", nullptr,
     QT_TRANSLATE_NOOP("Options", "As a screensaver: show each figure's code in a corner, to paint it again with "
                                  "--figure."),
     Use(FrontEnd::kScreensaver), false, &ProgramOptions::show_code},
    {"add-to-screensaver", nullptr,
     QT_TRANSLATE_NOOP("Options", "Add tavelune to your list of xscreensaver's screensavers (~/.xscreensaver), "
                                  "keeping everything else in it as it is."),
     Use(FrontEnd::kAddToScreensaver), true, &ProgramOptions::add_to_screensaver},
};

// Qt's own options, which the application object takes; whether each takes a value.
struct QtOption {
  const char* name;
  bool takes_value;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true}, {"qwindowicon", true}, {"icon", true},
    {"qwindowtitle", true}, {"title", true}, {"session", true}, {"display", true}, {"name", true},
    {"style", true}, {"stylesheet", true}, {"qmljsdebugger", true}, {"reverse", false}, {"nograb", false},
    {"dograb", false}, {"widgetcount", false}, {"testability", false},
};

// The Qt option an argument is, as Qt reads them: one dash or two, the value after it or after '='.
const QtOption* QtOptionOf(const QString& argument) {
  if (!argument.startsWith('-')) return nullptr;
  QString name = argument.mid(argument.startsWith("--") ? 2 : 1);
  name = name.left(name.indexOf('='));
  for (const QtOption& option : kQtOptions) {
    if (name == QLatin1String(option.name)) return &option;
  }
  return nullptr;
}

QStringList WithoutQtOptions(const QStringList& arguments) {
  QStringList own = arguments.mid(0, 1);
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--") {
      own += arguments.mid(i);
      break;
    }
    const QtOption* qt = QtOptionOf(arguments[i]);
    if (!qt) {
      own << arguments[i];
    } else if (qt->takes_value && !arguments[i].contains('=')) {
      ++i;
    }
  }
  return own;
}

void Configure(QCommandLineParser& parser) {
  // One dash or two, as Unix programs of the kind take them.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(Tr("Paints abstract figures."));
  parser.addHelpOption();
  parser.addVersionOption();
  for (const Option& option : kOptions) {
    parser.addOption(option.value_name ? QCommandLineOption(option.name, Tr(option.description), option.value_name)
                                       : QCommandLineOption(option.name, Tr(option.description)));
  }
}

QString Dashed(const Option& option) { return QString("--%1").arg(option.name); }

QString CodeMessage(const QString& code, CodeFault fault) {
  switch (fault) {
    case CodeFault::kLength:
      return Tr("\"%1\" is not a figure code: a code has %2 letters and digits").arg(code).arg(tavelune::kFigureCodeLength);
    case CodeFault::kCharacter:
      return Tr("\"%1\" is not a figure code: it has a character that no code has (a code is of 0-9 and A-Z "
                "without U)")
          .arg(code);
    case CodeFault::kCheck:
    case CodeFault::kNone:
      break;
  }
  return Tr("\"%1\" is not a figure code: its characters do not agree with their check; it may be mistyped").arg(code);
}

// Keeps an option's value where it belongs; says what is wrong with it, or nothing.
QString KeepValue(const Option& option, const QString& value, ProgramOptions& options) {
  if (auto* flag = std::get_if<bool ProgramOptions::*>(&option.store)) {
    options.*(*flag) = true;
  } else if (auto* member = std::get_if<QString ProgramOptions::*>(&option.store)) {
    if (value.isEmpty()) return Tr("%1 needs a value").arg(Dashed(option));
    options.*(*member) = value;
  } else if (auto* number = std::get_if<Number>(&option.store)) {
    bool isNumber = false;
    const double n = value.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(n) || n < number->min || n > number->max) {
      return Tr("%1 takes a number from %2 to %3, not \"%4\"").arg(Dashed(option)).arg(number->min).arg(number->max).arg(value);
    }
    options.*(number->member) = n;
  } else if (auto* window = std::get_if<WindowId>(&option.store)) {
    bool isNumber = false;
    const unsigned long id = value.startsWith("0x", Qt::CaseInsensitive) ? value.mid(2).toULong(&isNumber, 16)
                                                                          : value.toULong(&isNumber, 10);
    if (!isNumber || id == 0) return Tr("%1 takes an X window's number, decimal or 0x hex, not \"%2\"").arg(Dashed(option), value);
    options.*(*window) = id;
  } else if (auto* figure = std::get_if<std::optional<CodedFigure> ProgramOptions::*>(&option.store)) {
    CodeFault fault = CodeFault::kNone;
    options.*(*figure) = tavelune::DecodeFigure(value.toStdString(), &fault);
    if (!(options.*(*figure))) return CodeMessage(value, fault);
  }
  return {};
}

// The front end the given options choose, and a word for any that does not go with it.
QString ChooseFrontEnd(const std::vector<const Option*>& given, ProgramOptions& options) {
  const Option* chooser = nullptr;
  for (const Option* option : given) {
    if (!option->chooses) continue;
    // --root and --window-id together, as xscreensaver's preview gives them: the window wins.
    if (chooser && chooser->front_ends != option->front_ends) {
      return Tr("%1 does not go with %2").arg(Dashed(*option), Dashed(*chooser));
    }
    chooser = option;
    options.front_end = static_cast<FrontEnd>(option->front_ends);
  }
  for (const Option* option : given) {
    if (option->front_ends & Use(options.front_end)) continue;
    if (chooser) return Tr("%1 does not go with %2").arg(Dashed(*option), Dashed(*chooser));
    for (const Option& other : kOptions) {
      if (other.chooses && (other.front_ends & option->front_ends)) {
        return Tr("%1 goes with %2").arg(Dashed(*option), Dashed(other));
      }
    }
  }
  return {};
}

}  // namespace

void Complain(const QString& what) { std::fprintf(stderr, "tavelune: %s\n", qPrintable(what)); }

std::optional<ProgramOptions> ParseProgramOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  Configure(parser);
  auto refuse = [](const QString& what) -> std::optional<ProgramOptions> {
    Complain(what + Tr("; see --help"));
    return std::nullopt;
  };
  if (!parser.parse(WithoutQtOptions(arguments))) {
    QString why = parser.errorText();
    if (why.endsWith('.')) why.chop(1);
    return refuse(why);
  }
  if (!parser.positionalArguments().isEmpty()) {
    return refuse(Tr("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));
  }
  ProgramOptions options;
  options.help = parser.isSet("help") || parser.isSet("help-all");
  options.version = parser.isSet("version");
  if (options.help || options.version) {
    options.front_end = FrontEnd::kInfo;
    return options;
  }
  std::vector<const Option*> given;
  for (const Option& option : kOptions) {
    if (!parser.isSet(option.name)) continue;
    if (parser.optionNames().count(option.name) > 1) return refuse(Tr("%1 is given twice").arg(Dashed(option)));
    if (const QString wrong = KeepValue(option, parser.value(option.name), options); !wrong.isEmpty()) return refuse(wrong);
    given.push_back(&option);
  }
  if (const QString wrong = ChooseFrontEnd(given, options); !wrong.isEmpty()) return refuse(wrong);
  return options;
}

QString HelpText() {
  QCommandLineParser parser;
  Configure(parser);
  return parser.helpText();
}
