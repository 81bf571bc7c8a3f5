// Lunotrop: how the Moon moves round the Earth and why it has phases.
//
// Modes: the interactive program (a window), the ephemeris table, the phase
// calendar and the headless pictures. The last three need no display.
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>

#include "Dateien.h"
#include "Ephemeris.h"
#include "Lunotrop.h"
#include "PhaseCalendar.h"
#include "Render.h"
#include "Zahlen.h"

namespace {

const char* const UsageText =
    "Lunotrop - Bewegung und Phasen des Mondes\n"
    "\n"
    "Aufruf:\n"
    "  lunotrop [--window] [DATEI]\n"
    "      startet das Programm. Ohne DATEI werden Ort, Datum, Uhrzeit,\n"
    "      Zeitschritt und Verzögerung abgefragt; mit DATEI werden sie aus\n"
    "      dieser Parameterdatei gelesen (F2 speichert sie als Lunotrop.dat).\n"
    "      --window öffnet ein normales Fenster statt des Vollbilds.\n"
    "  lunotrop --ephemeris [--count N] DATEI\n"
    "      gibt die Positionen von Sonne und Mond für N Zeitschritte\n"
    "      (Vorgabe 25) als CSV-Tabelle aus; braucht keinen Bildschirm.\n"
    "  lunotrop --phases JAHR [--place BREITE,LÄNGE]\n"
    "      gibt Neumond, erstes Viertel, Vollmond und letztes Viertel des\n"
    "      Jahres (-4712 bis 9999) mit Datum und Uhrzeit (MEZ, auf die Minute)\n"
    "      als CSV-Tabelle aus. Mit --place, etwa --place 54.3,10.1, steht\n"
    "      dabei, wie hoch (mit Parallaxe und Refraktion) und in welcher\n"
    "      Richtung (0 = Süden, 90 = Westen) der Mond dort zu der Zeit steht.\n"
    "  lunotrop --render BILD [--steps N] [--size BxH] [--perspective P]\n"
    "                  [--keys TASTEN] DATEI\n"
    "      zeichnet ohne Bildschirm, was das Programm nach der Eingabe zeigt,\n"
    "      und N weitere Schritte (Vorgabe 0), und speichert es als BILD\n"
    "      (.bmp oder .png). --size: Bildgröße bis 7680x4320 (Vorgabe\n"
    "      1920x1080); --perspective 0, 1 oder 2: Ansicht von außen in dieser\n"
    "      Perspektive. --keys TASTEN: diese Tasten vor den Schritten, etwa\n"
    "      \"hh{hoch}>\" ({hoch}, {runter}, {links}, {rechts}, {F1}, {F2}).\n"
    "  lunotrop --help       zeigt diese Hilfe\n"
    "  lunotrop --version    zeigt die Versionsnummer\n";

int Fail(const std::string& message) {
  ReportProblem(message);
  return 2;
}

// A whole number >= minimum, or false.
bool WholeNumber(const QString& text, int minimum, int& value) {
  int32_t v = 0;
  if (ParseInteger(text.toStdString(), v) != 0 || v < minimum) return false;
  value = v;
  return true;
}

bool ParseSize(const QString& text, int& width, int& height) {
  const QStringList parts = text.toLower().split('x');
  return parts.size() == 2 && WholeNumber(parts[0], 1, width) && WholeNumber(parts[1], 1, height);
}

// Qt warns on every start when the session has no runtime folder (a root
// shell, a kiosk); give it the private folder it would fall back to anyway.
void QuietRuntimeFolder() {
  if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) return;
  const QString folder = QDir::tempPath() + "/runtime-lunotrop-" + QString::number(getuid());
  if (QDir().mkpath(folder) &&
      QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner))
    qputenv("XDG_RUNTIME_DIR", folder.toLocal8Bit());
}

// The shipped data next to an installed program, and in the source tree for
// a program run from its build folder. The program's own folder comes from
// the system, since a program started through PATH has no folder in argv[0].
void FindDataFolders(const char* programPath) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) program = programPath;
  std::string folders = (program.parent_path() / "../share/lunotrop").string();
#ifdef LUNOTROP_SOURCE_DATA
  folders += std::string(":") + LUNOTROP_SOURCE_DATA;
#endif
  SetDataFolders(folders);
}

} // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Hilfe");
  const QCommandLineOption version("version", "Version");
  const QCommandLineOption ephemeris("ephemeris", "Tabelle");
  const QCommandLineOption count("count", "Zeilen", "N");
  const QCommandLineOption window("window", "Fenster");
  const QCommandLineOption render("render", "Bild", "BILD");
  const QCommandLineOption steps("steps", "Schritte", "N");
  const QCommandLineOption size("size", "Größe", "BxH");
  const QCommandLineOption perspective("perspective", "Perspektive", "P");
  const QCommandLineOption keys("keys", "Tasten", "TASTEN");
  const QCommandLineOption phases("phases", "Mondphasen", "JAHR");
  const QCommandLineOption place("place", "Ort", "BREITE,LÄNGE");
  parser.addOptions({help, version, ephemeris, count, window, render, steps, size, perspective,
                     keys, phases, place});
  if (!parser.parse(arguments))
    return Fail(parser.errorText().toStdString() + " (Hilfe: lunotrop --help)");

  if (parser.isSet(help)) {
    std::fputs(UsageText, stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("lunotrop %s\n", LUNOTROP_VERSION);
    return 0;
  }
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(phases)) {
    if (!files.isEmpty()) return Fail("--phases braucht keine Parameterdatei.");
    std::optional<std::string> where;
    if (parser.isSet(place)) where = parser.value(place).toStdString();
    return WritePhaseCalendar(parser.value(phases).toStdString(), where, std::cout, std::cerr);
  }
  if (parser.isSet(place)) return Fail("--place gilt nur zusammen mit --phases.");
  FindDataFolders(argv[0]);
  QuietRuntimeFolder();

  if (parser.isSet(ephemeris)) {
    if (files.size() != 1) return Fail("--ephemeris braucht genau eine Parameterdatei.");
    int rows = 25;
    if (parser.isSet(count) && !WholeNumber(parser.value(count), 1, rows))
      rows = 0; // reported as not a positive whole number
    return WriteEphemeris(files.first().toStdString(), rows, std::cout, std::cerr);
  }

  if (parser.isSet(render)) {
    if (files.size() != 1) return Fail("--render braucht genau eine Parameterdatei.");
    TRenderOptions options;
    options.Output = parser.value(render).toStdString();
    options.ParameterFile = files.first().toStdString();
    if (parser.isSet(steps) && !WholeNumber(parser.value(steps), 0, options.Steps))
      return Fail("--steps braucht eine ganze Zahl ab 0.");
    if (parser.isSet(size) && !ParseSize(parser.value(size), options.Width, options.Height))
      return Fail("--size braucht die Form BREITExHÖHE, zum Beispiel 1920x1080.");
    if (parser.isSet(perspective) &&
        (!WholeNumber(parser.value(perspective), 0, options.Perspective) ||
         options.Perspective > 2))
      return Fail("--perspective braucht 0, 1 oder 2.");
    std::string message;
    if (parser.isSet(keys) &&
        !ParseKeyNames(parser.value(keys).toStdString(), options.Keys, message))
      return Fail(message);
    // No display is needed: draw on the offscreen platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    return RenderPicture(options, std::cerr);
  }

  if (files.size() > 1) return Fail("Bitte höchstens eine Parameterdatei angeben.");
  return RunInteractive(argc, argv, files.isEmpty() ? "" : files.first().toStdString(),
                        parser.isSet(window));
}
