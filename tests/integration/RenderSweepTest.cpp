// lunotrop --render over extreme parameters: the poles and the equator, the
// first and the last year the calendar takes, no step, steps backwards and
// a hundred thousand years a step, every perspective of both views. Each
// run must end normally, say nothing and leave a picture in which the view
// was drawn. One thing is varied at a time around an ordinary case, plus a
// few runs where the extremes meet.
#include <gtest/gtest.h>

#include <cmath>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int Patience = 180000; // ms, under the sanitizers on a loaded machine

struct TSweepCase {
  std::string Name;
  std::string View = "p"; // "p" inside view, "b" outside view
  std::string Latitude = "54.3";
  std::string Date = "21.6.2024";
  std::string Time = "12.00";
  std::string Step = "1.00"; // h.mm
  int Perspective = -1;      // -1: the file's view
  int Steps = 3;
  std::string Size = "640x480";
};

// The case's name in test lists instead of its bytes.
void PrintTo(const TSweepCase& c, std::ostream* out) {
  *out << c.Name;
}

// Colour values of the sixteen-colour palette the tests look for.
const QRgb Black = qRgb(0, 0, 0);
const QRgb DarkGray = qRgb(104, 104, 104);
const QRgb LightBlue = qRgb(0, 0, 252);

std::vector<TSweepCase> Cases() {
  std::vector<TSweepCase> cases;
  auto add = [&cases](TSweepCase c) { cases.push_back(c); };
  const std::pair<std::string, std::string> views[] = {{"p", "Innen"}, {"b", "Aussen"}};
  for (const auto& [view, name] : views) {
    const std::pair<std::string, std::string> latitudes[] = {{"-90", "Suedpol"},
                                                             {"-89.9", "FastSuedpol"},
                                                             {"0", "Aequator"},
                                                             {"89.9", "FastNordpol"},
                                                             {"90", "Nordpol"}};
    for (const auto& [latitude, place] : latitudes) {
      TSweepCase c{.Name = name + place, .View = view};
      c.Latitude = latitude;
      add(c);
    }
    const std::pair<std::string, std::string> dates[] = {{"1.1.-4712", "JahrMinus4712"},
                                                         {"4.10.1582", "Kalenderreform"},
                                                         {"1.1.2000", "Jahr2000"},
                                                         {"31.12.9999", "Jahr9999"}};
    for (const auto& [date, when] : dates) {
      TSweepCase c{.Name = name + when, .View = view};
      c.Date = date;
      c.Time = "23.59";
      add(c);
    }
    const std::pair<std::string, std::string> steps[] = {{"0.00", "OhneSchritt"},
                                                         {"-1.30", "Rueckwaerts"},
                                                         {"1000000.00", "MillionStunden"},
                                                         {"-1000000.00", "MillionZurueck"}};
    for (const auto& [step, how] : steps) {
      TSweepCase c{.Name = name + how, .View = view};
      c.Step = step;
      add(c);
    }
  }
  for (int perspective = 0; perspective <= 2; ++perspective) {
    for (const std::string latitude : {"54.3", "-33.9"}) {
      TSweepCase c{.Name = "Perspektive" + std::to_string(perspective) +
                           (latitude[0] == '-' ? "Sued" : "Nord")};
      c.Latitude = latitude;
      c.Perspective = perspective;
      add(c);
    }
  }
  // Where the extremes meet.
  add({.Name = "NordpolAnfangMillionHorizont",
       .Latitude = "90",
       .Date = "1.1.-4712",
       .Time = "0.00",
       .Step = "1000000.00",
       .Perspective = 2});
  add({.Name = "SuedpolEndeMillionZurueckBreitenkreis",
       .Latitude = "-90",
       .Date = "31.12.9999",
       .Time = "23.59",
       .Step = "-1000000.00",
       .Perspective = 1});
  add({.Name = "AequatorEndeMillionInnen",
       .Latitude = "0",
       .Date = "31.12.9999",
       .Time = "23.59",
       .Step = "1000000.00",
       .Steps = 5});
  add({.Name = "FastSuedpolAnfangRueckwaertsAussen",
       .View = "b",
       .Latitude = "-89.9",
       .Date = "1.1.-4712",
       .Time = "0.00",
       .Step = "-1000000.00"});
  add({.Name = "VollbildKalenderreformOhneSchritt",
       .Latitude = "89.9",
       .Date = "15.10.1582",
       .Step = "0.00",
       .Steps = 10,
       .Size = "1920x1080"});
  add({.Name = "VollbildNordpolEkliptik",
       .View = "b",
       .Latitude = "90",
       .Perspective = 0,
       .Size = "1920x1080"});
  return cases;
}

class RenderSweep : public ::testing::TestWithParam<TSweepCase> {};

} // namespace

TEST_P(RenderSweep, EndsNormallyWithAPicture) {
  const TSweepCase& c = GetParam();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString parameters = folder.filePath("sweep.dat");
  std::ofstream(parameters.toStdString(), std::ios::binary)
      << c.View << " * Darstellung\r\n"
      << c.Latitude << " * geogr. Breite\r\n10.1 * geogr. L\xE4nge\r\n"
      << c.Date << " * Startdatum\r\n"
      << c.Time << " * Startuhrzeit\r\n"
      << c.Step << " * deltat\r\n30\r\n0\r\n30\r\nj\r\nj\r\nj\r\n";
  const QString picture = folder.filePath("sweep.png");
  QStringList arguments{"--render", picture,
                        "--size",   QString::fromStdString(c.Size),
                        "--steps",  QString::number(c.Steps)};
  if (c.Perspective >= 0) arguments << "--perspective" << QString::number(c.Perspective);
  arguments << parameters;

  QProcess program;
  program.setWorkingDirectory(folder.path());
  program.start(LUNOTROP_BINARY, arguments);
  ASSERT_TRUE(program.waitForFinished(Patience)) << "hangs";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  // A step beyond 36 500 days is brought to that with a note; nothing else
  // is said.
  const bool beyondCap = std::fabs(std::stold(c.Step)) > 876000;
  EXPECT_EQ(program.readAllStandardError().toStdString(),
            beyondCap
                ? "lunotrop: Zeitschritt aus der Parameterdatei auf " +
                      std::string(c.Step[0] == '-' ? "-" : "") + "876000.00 Stunden begrenzt.\n"
                : "");

  const QImage shot(picture);
  ASSERT_FALSE(shot.isNull());
  const QStringList size = QString::fromStdString(c.Size).split('x');
  ASSERT_EQ(shot.size(), QSize(size[0].toInt(), size[1].toInt()));
  if (c.View == "b" || c.Perspective >= 0) {
    // The Earth in the middle of the square picture at the left.
    const int centre = shot.height() / 2;
    int earth = 0;
    for (int y = centre - 20; y <= centre + 20; ++y)
      for (int x = centre - 20; x <= centre + 20; ++x) {
        const QRgb p = shot.pixel(x, y) & 0xFFFFFF;
        if (p == (LightBlue & 0xFFFFFF) || p == (DarkGray & 0xFFFFFF)) ++earth;
      }
    EXPECT_GT(earth, 200);
  } else {
    // Black title band, coloured sky and ground below it.
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, Black & 0xFFFFFF);
    int coloured = 0;
    for (int y = shot.height() / 3; y < shot.height(); y += 7)
      for (int x = 0; x < shot.width(); x += 7)
        if ((shot.pixel(x, y) & 0xFFFFFF) != (Black & 0xFFFFFF)) ++coloured;
    EXPECT_GT(coloured, 100);
  }
}

INSTANTIATE_TEST_SUITE_P(Extremes, RenderSweep, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TSweepCase>& info) {
                           return info.param.Name;
                         });
