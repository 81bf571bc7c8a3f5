// The phase calendar: its rows against a published almanac, its form, the
// years at both ends and across New Year, the place columns, bad input,
// and the command line.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <vector>

#include "AstrRout.h"
#include "PhaseCalendar.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}

struct TCalendar {
  int Status = -1;
  std::string Out, Err;
  std::vector<std::vector<std::string>> Rows; // without the header
};

TCalendar Calendar(const std::string& year, std::optional<std::string> place = std::nullopt) {
  std::ostringstream out, err;
  TCalendar c;
  c.Status = WritePhaseCalendar(year, place, out, err);
  c.Out = out.str();
  c.Err = err.str();
  const std::vector<std::string> lines = Split(c.Out, '\n');
  for (size_t i = 1; i < lines.size(); ++i) c.Rows.push_back(Split(lines[i], ','));
  return c;
}

// The Julian date of a row's MEZ date and time.
long double RowJD(const std::vector<std::string>& row) {
  const std::vector<std::string> date = Split(row[1], '.');
  return JulianDate(TCalendarDate{std::stoi(date[0]), std::stoi(date[1]), std::stoi(date[2])},
                    std::stold(row[2]));
}

// F. Espenak, AstroPixels almanac 2026, "Phases of the Moon, Greenwich Mean
// Time": its first eight rows, in UT to the minute. The astronomy tests
// compare the whole of 2024 to 2026.
struct TPublished {
  const char* Phase;
  int Day, Month, Hour, Minute;
};
const TPublished Espenak2026[] = {
    {"Vollmond", 3, 1, 10, 3},  {"letztes Viertel", 10, 1, 15, 48},
    {"Neumond", 18, 1, 19, 52}, {"erstes Viertel", 26, 1, 4, 47},
    {"Vollmond", 1, 2, 22, 9},  {"letztes Viertel", 9, 2, 12, 43},
    {"Neumond", 17, 2, 12, 1},  {"erstes Viertel", 24, 2, 12, 28},
};

TEST(PhaseCalendarTest, TheYear2026AgreesWithThePublishedAlmanac) {
  const TCalendar c = Calendar("2026");
  ASSERT_EQ(c.Status, 0);
  EXPECT_TRUE(c.Err.empty());
  EXPECT_EQ(c.Out.substr(0, c.Out.find('\n')), "phase,date,time_mez");
  ASSERT_EQ(c.Rows.size(), 50u); // as published, with 13 full Moons
  for (size_t i = 0; i < std::size(Espenak2026); ++i) {
    const TPublished& p = Espenak2026[i];
    const std::vector<std::string>& row = c.Rows[i];
    SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2]);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[0], p.Phase);
    // MEZ is UT + 1 h; the calendar's time scale has no Delta T, so it
    // runs a minute or two late.
    const long double published =
        JulianDate(TCalendarDate{p.Day, p.Month, 2026}, p.Hour + 1 + p.Minute / 100.0L);
    const long double minutes = (RowJD(row) - published) * 1440;
    EXPECT_GE(minutes, -2.001L);
    EXPECT_LE(minutes, 2.001L);
  }
  // Written like the table's columns: no leading zero on day, month or
  // hour, two digits of minutes.
  EXPECT_EQ(c.Rows[0][1], "3.1.2026");
  EXPECT_EQ(c.Rows[0][2], "11.04");
  EXPECT_EQ(c.Rows[3][2], "5.49"); // 26.1.2026 4.47 UT, a minute or two later
}

TEST(PhaseCalendarTest, NewYearIsNeitherSkippedNorCountedTwice) {
  // Year after year the phases follow one another a quarter of a month
  // apart, each calendar holding only its own year.
  long double previous = 0;
  std::string previousPhase;
  const std::vector<std::string> order = {"Neumond", "erstes Viertel", "Vollmond",
                                          "letztes Viertel"};
  for (int year = 1999; year <= 2031; ++year) {
    const TCalendar c = Calendar(std::to_string(year));
    ASSERT_EQ(c.Status, 0);
    for (const std::vector<std::string>& row : c.Rows) {
      EXPECT_EQ(Split(row[1], '.')[2], std::to_string(year)) << row[1];
      const long double jd = RowJD(row);
      if (previous != 0) {
        EXPECT_GT(jd - previous, 5.8L) << row[1];
        EXPECT_LT(jd - previous, 9.0L) << row[1];
        const size_t before = std::find(order.begin(), order.end(), previousPhase) - order.begin();
        EXPECT_EQ(row[0], order[(before + 1) % 4]) << row[1];
      }
      previous = jd;
      previousPhase = row[0];
    }
  }
}

TEST(PhaseCalendarTest, TheFirstAndLastYears) {
  const std::regex time("([0-9]|1[0-9]|2[0-3])\\.[0-5][0-9]");
  for (const char* year : {"-4712", "9999"}) {
    const TCalendar c = Calendar(year);
    ASSERT_EQ(c.Status, 0) << year;
    EXPECT_GE(c.Rows.size(), 48u) << year;
    EXPECT_LE(c.Rows.size(), 51u) << year;
    for (const std::vector<std::string>& row : c.Rows) {
      EXPECT_EQ(Split(row[1], '.')[2], year);
      EXPECT_TRUE(std::regex_match(row[2], time)) << row[2];
    }
  }
}

TEST(PhaseCalendarTest, APlaceAddsWhereTheMoonStands) {
  const TCalendar plain = Calendar("2026");
  const TCalendar kiel = Calendar("2026", "54.3,10.1");
  ASSERT_EQ(kiel.Status, 0);
  EXPECT_EQ(kiel.Out.substr(0, kiel.Out.find('\n')),
            "phase,date,time_mez,moon_alt_refr_deg,moon_az_topo_deg");
  ASSERT_EQ(kiel.Rows.size(), plain.Rows.size());
  for (size_t i = 0; i < kiel.Rows.size(); ++i) {
    ASSERT_EQ(kiel.Rows[i].size(), 5u);
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(kiel.Rows[i][column], plain.Rows[i][column]);
    const long double altitude = std::stold(kiel.Rows[i][3]), azimuth = std::stold(kiel.Rows[i][4]);
    EXPECT_GE(altitude, -90);
    EXPECT_LE(altitude, 90);
    EXPECT_GT(azimuth, -180);
    EXPECT_LE(azimuth, 180);
    EXPECT_EQ(kiel.Rows[i][3].size() - kiel.Rows[i][3].find('.'), 2u); // one decimal
  }
  // The Christmas full Moon of 2026 (2.29 MEZ) stands high in Kiel's
  // winter night, south-west of the meridian; in Cape Town, where it passes
  // the meridian in the north, it stands low in the north-west.
  const std::vector<std::string>& christmas = kiel.Rows[kiel.Rows.size() - 2];
  ASSERT_EQ(christmas[1], "24.12.2026");
  EXPECT_GT(std::stold(christmas[3]), 45);
  EXPECT_GT(std::stold(christmas[4]), 0);
  EXPECT_LT(std::stold(christmas[4]), 90);
  const TCalendar capeTown = Calendar("2026", "-33.9,18.4");
  ASSERT_EQ(capeTown.Status, 0);
  const std::vector<std::string>& south = capeTown.Rows[capeTown.Rows.size() - 2];
  EXPECT_GT(std::stold(south[3]), 0);
  EXPECT_LT(std::stold(south[3]), 30);
  EXPECT_GT(std::stold(south[4]), 90);
}

TEST(PhaseCalendarTest, BadInputGivesAGermanMessageAndNoCalendar) {
  for (const char* year : {"2026.5", "10000", "-4713", "zwei", "", "2026 "}) {
    const TCalendar c = Calendar(year);
    EXPECT_EQ(c.Status, 2) << year;
    EXPECT_TRUE(c.Out.empty()) << year;
    EXPECT_NE(c.Err.find("ganze Zahl von -4712 bis 9999"), std::string::npos) << c.Err;
  }
  for (const char* place : {"91,0", "54.3", "54,3,10,1", "Kiel", "54.3,181", "54.3;10.1", ","}) {
    const TCalendar c = Calendar("2026", place);
    EXPECT_EQ(c.Status, 2) << place;
    EXPECT_TRUE(c.Out.empty()) << place;
    EXPECT_NE(c.Err.find("Breite und Länge in Grad"), std::string::npos) << c.Err;
  }
  EXPECT_EQ(Calendar(" 2026", "-90,-180").Status, 0);
}

// Runs the program and returns its exit code, standard output and error.
TCalendar RunProgram(const QStringList& arguments) {
  QProcess run;
  run.start(QStringLiteral(LUNOTROP_BINARY), arguments);
  TCalendar c;
  if (!run.waitForFinished(60000)) return c;
  c.Status = run.exitCode();
  c.Out = run.readAllStandardOutput().toStdString();
  c.Err = run.readAllStandardError().toStdString();
  return c;
}

TEST(PhaseCalendarTest, TheProgramPrintsItWithoutADisplay) {
  EXPECT_EQ(RunProgram({"--phases", "2026"}).Out, Calendar("2026").Out);
  // Values with a leading minus are taken as values, not as options.
  const TCalendar south = RunProgram({"--phases", "-4712", "--place", "-33.9,18.4"});
  EXPECT_EQ(south.Status, 0);
  EXPECT_EQ(south.Out, Calendar("-4712", "-33.9,18.4").Out);

  for (const QStringList& args :
       {QStringList{"--phases", "1.5"}, QStringList{"--phases", "2026", "--place", "x"},
        QStringList{"--place", "54.3,10.1"}, QStringList{"--phases", "2026", "Lunotrop.dat"}}) {
    const TCalendar bad = RunProgram(args);
    EXPECT_EQ(bad.Status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(bad.Out.empty());
    EXPECT_FALSE(bad.Err.empty());
  }
  EXPECT_NE(RunProgram({"--help"}).Out.find("--phases JAHR [--place BREITE,LÄNGE]"),
            std::string::npos);
}

} // namespace
