// The ephemeris table: its form, the instants it lists, and what bad input
// gives. Positions themselves are checked by the astronomy tests.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "Ephemeris.h"
#include "SkyInstant.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}

// What std::to_chars writes with twelve decimals, a zero without its sign.
std::string ToChars12(long double value) {
  char buffer[128];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 12);
  std::string text(buffer, result.ptr);
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

class EphemerisTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("lunotrop-eph-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string WriteFile(const std::string& name, const std::string& step,
                        const std::string& date = " 6.12.2026", const std::string& time = "14.35") {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary)
        << "p * Darstellung\r\n54.3 * geogr. Breite\r\n10.1 * geogr. L\xE4nge\r\n"
        << date << " * Startdatum\r\n"
        << time << " * Startuhrzeit\r\n"
        << step << " * deltat\r\n30 * Verz\xF6gerung in ms\r\n0\r\n30\r\nn\r\nn\r\nj\r\n";
    return path;
  }
  fs::path folder;
};

TEST_F(EphemerisTest, ListsTheStartThenOneStepAfterAnother) {
  std::ostringstream out, err;
  ASSERT_EQ(WriteEphemeris(WriteFile("a.dat", "1.30"), 3, out, err), 0);
  EXPECT_TRUE(err.str().empty());
  const std::vector<std::string> lines = Split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], EphemerisHeader);
  std::vector<std::vector<std::string>> rows;
  for (size_t i = 1; i < lines.size(); ++i) rows.push_back(Split(lines[i], ','));
  for (const auto& row : rows) ASSERT_EQ(row.size(), 20u);

  // 6.12.2026 14.35 MEZ is 13.35 UT: JD 2461381.0659722...
  EXPECT_EQ(rows[0][0], "2461381.065972222222");
  EXPECT_EQ(rows[0][1], "6.12.2026");
  EXPECT_EQ(rows[0][2], "14.35");
  EXPECT_EQ(rows[1][2], "16.05"); // a step of 1.30 h.mm is an hour and a half
  EXPECT_EQ(rows[2][2], "17.35");
  EXPECT_NEAR(std::stold(rows[1][0]) - std::stold(rows[0][0]), 1.5L / 24, 1e-9L);

  for (const auto& row : rows) {
    const long double sunLon = std::stold(row[3]), moonLon = std::stold(row[6]);
    EXPECT_GE(sunLon, 0);
    EXPECT_LT(sunLon, 360);
    EXPECT_GE(moonLon, 0);
    EXPECT_LT(moonLon, 360);
    EXPECT_EQ(row[3].size() - row[3].find('.') - 1, 12u); // full precision
    const long double phase = std::stold(row[14]) * 3.14159265358979L / 180;
    EXPECT_NEAR(std::stold(row[15]), 50 * (1 + std::cos(phase)), 1e-9L);

    // What the observer sees: the Moon lowered by its parallax (under a
    // degree, in the same direction), Sun and Moon lifted by the air.
    const long double sunAlt = std::stold(row[11]), moonAz = std::stold(row[12]),
                      moonAlt = std::stold(row[13]), moonAltTopo = std::stold(row[16]),
                      moonAzTopo = std::stold(row[17]), sunAltRefr = std::stold(row[18]),
                      moonAltRefr = std::stold(row[19]);
    EXPECT_LT(moonAltTopo, moonAlt);
    EXPECT_GT(moonAltTopo, moonAlt - 1);
    EXPECT_NEAR(moonAzTopo, moonAz, 1e-6L);
    EXPECT_NEAR(sunAltRefr - sunAlt, Refraction(sunAlt * DegToRad) / DegToRad, 1e-9L);
    EXPECT_NEAR(moonAltRefr - moonAltTopo, Refraction(moonAltTopo * DegToRad) / DegToRad, 1e-9L);
    EXPECT_EQ(row[19].size() - row[19].find('.') - 1, 12u);
  }
}

TEST_F(EphemerisTest, EveryColumnIsItsValueToTheLastDigit) {
  // A place and a start that the file gives exactly (54.25, 10.5, 14.00 on
  // 6.12.2026), so the row can be compared with the sky instant itself:
  // every column in its place, each to the last of its twelve decimals.
  const std::string path = (folder / "genau.dat").string();
  std::ofstream(path, std::ios::binary)
      << "p\n54.25\n10.5\n6.12.2026\n14.00\n0.00\n30\n0\n30\nn\nn\nj\n";
  std::ostringstream out, err;
  ASSERT_EQ(WriteEphemeris(path, 1, out, err), 0);
  const std::vector<std::string> row = Split(Split(out.str(), '\n').at(1), ',');
  ASSERT_EQ(row.size(), 20u);

  const long double latitude = 54.25L * DegToRad, jd = JulianDate({6, 12, 2026}, 14.0L);
  const TSkyInstant s = ComputeSkyInstant(jd, latitude, 10.5L * DegToRad);
  const TSeenSky seen = ComputeSeenSky(s, latitude);
  const auto degrees = [](long double radians) { return radians * (180.0L / Pi); };
  const long double expected[] = {degrees(s.SunLon),
                                  degrees(s.SunLat),
                                  s.SunDistance,
                                  degrees(s.MoonLon),
                                  degrees(s.MoonLat),
                                  s.MoonDistance,
                                  degrees(s.SiderealTime),
                                  degrees(s.SunAzimuth),
                                  degrees(s.SunAltitude),
                                  degrees(s.MoonAzimuth),
                                  degrees(s.MoonAltitude),
                                  degrees(s.PhaseAngle),
                                  50.0L * (1.0L + std::cos(s.PhaseAngle)),
                                  degrees(seen.MoonAltitudeTopo),
                                  degrees(seen.MoonAzimuthTopo),
                                  degrees(seen.SunAltitudeRefracted),
                                  degrees(seen.MoonAltitudeRefracted)};
  EXPECT_EQ(row[0], ToChars12(jd));
  EXPECT_EQ(row[1], "6.12.2026");
  EXPECT_EQ(row[2], "14.00");
  for (size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(row[3 + i], ToChars12(expected[i])) << "column " << 3 + i;
}

TEST_F(EphemerisTest, ANegativeStepRunsBackwardsOverMidnight) {
  std::ostringstream out, err;
  ASSERT_EQ(WriteEphemeris(WriteFile("b.dat", "-12.00", " 1. 1.2000", "6.00"), 2, out, err), 0);
  const std::vector<std::string> lines = Split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<std::string> first = Split(lines[1], ','), second = Split(lines[2], ',');
  EXPECT_EQ(first[1], "1.1.2000");
  EXPECT_EQ(first[2], "6.00");
  EXPECT_EQ(second[1], "31.12.1999");
  EXPECT_EQ(second[2], "18.00");
}

TEST_F(EphemerisTest, ALongTableComesWholeAndAFailedWriteIsReported) {
  // Many pieces of output: every row once, in order, none cut.
  const std::string file = WriteFile("lang.dat", "1.00");
  std::ostringstream out, err;
  ASSERT_EQ(WriteEphemeris(file, 3000, out, err), 0);
  const std::vector<std::string> lines = Split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 3001u);
  for (size_t i = 1; i < lines.size(); ++i) ASSERT_EQ(Split(lines[i], ',').size(), 20u) << i;
  EXPECT_EQ(out.str().back(), '\n');
  // A stream that takes nothing more (a full disk): a message, exit 1, and
  // the program stops instead of computing the rest for nothing.
  std::ostringstream failing;
  failing.setstate(std::ios::badbit);
  err.str("");
  EXPECT_EQ(WriteEphemeris(file, 100000000, failing, err), 1);
  EXPECT_NE(err.str().find("nicht geschrieben"), std::string::npos);
}

TEST_F(EphemerisTest, BadInputGivesAGermanMessageAndNoTable) {
  std::ostringstream out, err;
  EXPECT_EQ(WriteEphemeris((folder / "fehlt.dat").string(), 5, out, err), 2);
  EXPECT_NE(err.str().find("fehlt.dat"), std::string::npos);
  EXPECT_NE(err.str().find("kann nicht gelesen werden"), std::string::npos);

  const std::string good = WriteFile("good.dat", "5 Minuten"); // the value ends at the blank
  const std::string broken = WriteFile("broken.dat", "x0.05");
  err.str("");
  EXPECT_EQ(WriteEphemeris(broken, 5, out, err), 2);
  EXPECT_NE(err.str().find("Zeile 6"), std::string::npos);

  err.str("");
  EXPECT_EQ(WriteEphemeris(good, 0, out, err), 2);
  EXPECT_NE(err.str().find("--count"), std::string::npos);
  EXPECT_TRUE(out.str().empty());
}

TEST_F(EphemerisTest, TheProgramPrintsALongTableAndRejectsBadCounts) {
  const QString program = QStringLiteral(LUNOTROP_BINARY);
  const QString file = QString::fromStdString(WriteFile("c.dat", "24.00"));
  QProcess run;
  run.start(program, {"--ephemeris", "--count", "4000", file});
  ASSERT_TRUE(run.waitForFinished(60000));
  EXPECT_EQ(run.exitCode(), 0);
  const std::vector<std::string> lines = Split(run.readAllStandardOutput().toStdString(), '\n');
  ASSERT_EQ(lines.size(), 4001u);
  EXPECT_EQ(Split(lines[4000], ',').size(), 20u);
  EXPECT_EQ(Split(lines[4000], ',')[1], "17.11.2037"); // 3999 days after 6.12.2026

  for (const QStringList& args : {QStringList{"--ephemeris", "--count", "0", file},
                                  QStringList{"--ephemeris", "--count", "zehn", file},
                                  QStringList{"--ephemeris", "gibt-es-nicht.dat"}}) {
    QProcess bad;
    bad.start(program, args);
    ASSERT_TRUE(bad.waitForFinished(60000));
    EXPECT_EQ(bad.exitCode(), 2) << args.join(' ').toStdString();
    EXPECT_TRUE(bad.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(bad.readAllStandardError().isEmpty());
  }
}

} // namespace

namespace {

std::string Fast12(long double value) {
  std::string text;
  AppendFixed12(text, value);
  return text;
}

std::string FastIlluminated(long double phase) {
  std::string text;
  AppendIlluminated(text, phase);
  return text;
}

// The illuminated percentage as the library's cosine makes it.
std::string LibraryIlluminated(long double phase) {
  return ToChars12(50.0L * (1.0L + std::cos(phase)));
}

} // namespace

TEST(EphemerisNumbers, TwelveDecimalsAreExactlyThoseOfToChars) {
  // The values of a table: angles, distances, Julian dates, percentages,
  // and the cases where a faster way could round differently.
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 300000; ++i) {
    const long double scale = std::pow(10.0L, static_cast<int>(random() % 9) - 2);
    long double value = (unit(random) - 0.3L) * scale * 400;
    if (i % 3 == 0) value += 2460000 + unit(random); // Julian dates
    ASSERT_EQ(Fast12(value), ToChars12(value)) << static_cast<double>(value);
  }
  for (const long double value :
       {0.0L, -0.0L, 1e-13L, -1e-13L, -4e-13L, 0.9999999999995L, 0.99999999999949L,
        359.9999999999996L, -0.0000000000005L, 0.0000000000005L, 0.0000000000015L,
        2451545.0000000000005L, 1e14L, 1.5e15L, -2.5e16L, 12.5e-12L, 1.0L / 3}) {
    EXPECT_EQ(Fast12(value), ToChars12(value)) << static_cast<double>(value);
  }
  EXPECT_EQ(Fast12(std::numeric_limits<long double>::quiet_NaN()), "nan");
  EXPECT_EQ(Fast12(-4e-13L), "0.000000000000");
}

TEST(EphemerisNumbers, TwelveDecimalsNextToWholeNumbers) {
  // The values one step of a long double beside a whole number, and beside
  // a whole number of 10^-12, are where a faster way could round a digit
  // differently.
  std::mt19937_64 random(20260516);
  for (int i = 0; i < 20000; ++i) {
    // Half of them up to 10^8, on both sides of the limit of the integer way.
    const long double whole =
        static_cast<long double>(random() % (i % 2 == 0 ? 100000000ULL : 100000000000000ULL));
    const long double decimals = static_cast<long double>(random() % 1000000000000ULL) * 1e-12L;
    for (const long double base : {whole, -whole, whole + decimals, -(whole + decimals)}) {
      for (const long double value :
           {base, std::nextafter(base, 1e16L), std::nextafter(base, -1e16L)}) {
        ASSERT_EQ(Fast12(value), ToChars12(value)) << static_cast<double>(value);
      }
    }
  }
  // Exactly half way between two last digits (1/8192 is 122070312.5e-12),
  // the largest values of the integer way, and numbers far too small.
  for (const long double value :
       {999999999999999.9L, 0x1p49L + 0.5L, 1e15L - 1, 12345.0L, 1.0L / 8192, -3.0L / 8192, 5e-13L,
        9999999.9999999999995L, 9999999.999999999999L, 1e7L, -1e7L, 1e-300L, 1e-4940L}) {
    EXPECT_EQ(Fast12(value), ToChars12(value)) << static_cast<double>(value);
  }
}

TEST(EphemerisNumbers, TwelveDecimalsAtTheLimitOfTheIntegerWay) {
  // The integer way ends at 10^7, which lies between 2^23 and 2^24: the
  // values around both powers of two and around the limit itself, with
  // either sign, come out as to_chars writes them.
  for (const long double edge : {0x1p23L, 0x1p24L, 1e7L, 0x1p22L}) {
    long double value = edge;
    for (int i = 0; i < 3; ++i) value = std::nextafter(value, 0.0L);
    for (int i = 0; i < 7; ++i, value = std::nextafter(value, 1e300L)) {
      EXPECT_EQ(Fast12(value), ToChars12(value)) << static_cast<double>(value);
      EXPECT_EQ(Fast12(-value), ToChars12(-value)) << static_cast<double>(value);
    }
  }
  EXPECT_EQ(Fast12(std::numeric_limits<long double>::infinity()), "nan");
  EXPECT_EQ(Fast12(-std::numeric_limits<long double>::infinity()), "nan");
  EXPECT_EQ(Fast12(-std::numeric_limits<long double>::quiet_NaN()), "nan");
  EXPECT_EQ(Fast12(-0.0L), "0.000000000000");
  EXPECT_EQ(Fast12(-1e-4940L), "0.000000000000");
}

TEST(EphemerisNumbers, IlluminatedPercentIsThatOfTheLibrarysCosine) {
  // Phases of every size, and near full and new Moon where the cosine is
  // flattest: one in a few thousand lands so close to a rounding edge of
  // the twelfth decimal that the library's cosine itself must decide.
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int i = 0; i < 300000; ++i) {
    long double phase = unit(random) * Pi;
    if (i % 4 == 1) phase = unit(random) * 1e-3L;
    if (i % 4 == 2) phase = Pi - unit(random) * 1e-3L;
    ASSERT_EQ(FastIlluminated(phase), LibraryIlluminated(phase)) << static_cast<double>(phase);
  }
  // Phases whose percentage lies next to half a unit of the twelfth
  // decimal, where a cosine one unit in its last place off would round
  // the other way.
  std::uniform_int_distribution<long long> units(0, 100000000000000LL - 1);
  for (int i = 0; i < 20000; ++i) {
    const long double edge = (static_cast<long double>(units(random)) + 0.5L) * 1e-12L;
    const long double phase = std::acos(edge / 50.0L - 1.0L);
    ASSERT_EQ(FastIlluminated(phase), LibraryIlluminated(phase)) << static_cast<double>(phase);
  }
  for (const long double phase : {0.0L, -0.0L, Pi, -Pi, Pi / 2, -Pi / 2, Pi / 3, 2 * Pi / 3}) {
    EXPECT_EQ(FastIlluminated(phase), LibraryIlluminated(phase)) << static_cast<double>(phase);
  }
  EXPECT_EQ(FastIlluminated(std::numeric_limits<long double>::quiet_NaN()), "nan");
}
