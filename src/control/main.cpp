// Lunotrop: how the Moon moves round the Earth and why it has phases.
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

const char* const UsageText =
    "Lunotrop - Bewegung und Phasen des Mondes\n"
    "\n"
    "Aufruf:\n"
    "  lunotrop [DATEI]\n"
    "      startet das Programm; mit DATEI werden die Eingaben aus dieser\n"
    "      Parameterdatei (z. B. Lunotrop.dat) gelesen.\n"
    "  lunotrop --ephemeris [--count N] DATEI\n"
    "      gibt eine Tabelle der Sonnen- und Mondpositionen (CSV) aus.\n"
    "  --help      zeigt diese Hilfe\n"
    "  --version   zeigt die Versionsnummer\n";

} // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (arguments.contains("--help") || arguments.contains("-h")) {
    std::fputs(UsageText, stdout);
    return 0;
  }
  if (arguments.contains("--version")) {
    std::printf("lunotrop %s\n", LUNOTROP_VERSION);
    return 0;
  }
  QApplication app(argc, argv);
  return app.exec();
}
