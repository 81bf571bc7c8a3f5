// Lunotrop: how the Moon moves round the Earth and why it has phases.
//
// Modes: the interactive program (a window), the ephemeris table and the
// headless pictures. The last two need no display.
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

#include "Dateien.h"
#include "Ephemeris.h"
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
    "  lunotrop --help       zeigt diese Hilfe\n"
    "  lunotrop --version    zeigt die Versionsnummer\n";

int Fail(const std::string& message) {
  std::cerr << "lunotrop: " << message << "\n";
  return 2;
}

// A whole number >= minimum, or false.
bool WholeNumber(const QString& text, int minimum, int& value) {
  int32_t v = 0;
  if (ParseInteger(text.toStdString(), v) != 0 || v < minimum) return false;
  value = v;
  return true;
}

// The shipped data next to an installed program, and in the source tree for
// a program run from its build folder.
void FindDataFolders(const char* programPath) {
  const std::string path = programPath;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  SetDataFolders(folder + "/../share/lunotrop:" + LUNOTROP_SOURCE_DATA);
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
  parser.addOptions({help, version, ephemeris, count, window, render, steps, size, perspective});
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
  FindDataFolders(argv[0]);

  if (parser.isSet(ephemeris)) {
    if (files.size() != 1) return Fail("--ephemeris braucht genau eine Parameterdatei.");
    int rows = 25;
    if (parser.isSet(count) && !WholeNumber(parser.value(count), 1, rows))
      rows = 0; // reported as not a positive whole number
    return WriteEphemeris(files.first().toStdString(), rows, std::cout, std::cerr);
  }

  if (files.size() > 1) return Fail("Bitte höchstens eine Parameterdatei angeben.");
  std::cerr << "lunotrop: Das Fenster ist noch nicht eingebaut.\n";
  return 1;
}
