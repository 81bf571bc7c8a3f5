// The parameter file: what F2 writes byte for byte, and what a start with a
// file reads back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ParameterFile.h"

namespace fs = std::filesystem;

namespace {

class ParameterFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("lunotrop-param-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    previous = fs::current_path();
    fs::current_path(folder);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(folder);
  }
  static void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static TParameters Defaults() {
    TParameters p;
    p.DayText = " 6";
    p.MonthText = "12";
    p.YearText = "2026";
    p.StartTimeText = " 14.35";
    return p;
  }
  // A file in the written form with the given value lines (index 0 = line 1).
  static std::string File(std::vector<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
  }
  fs::path folder, previous;
};

const char* const DefaultFile = "p * Darstellung (Phase (p)/Bewegung)\r\n"
                                "54.3 * geogr. Breite\r\n"
                                "10.1 * geogr. L\xE4nge\r\n"
                                " 6.12.2026 * Startdatum\r\n"
                                " 14.35 * Startuhrzeit\r\n"
                                "0.05 * deltat\r\n"
                                "30 * Verz\xF6gerung in ms\r\n"
                                "0 * zentraler Azimut\r\n"
                                "30 * Abstand der Koordinatenlinien\r\n"
                                "n * Zeichnung der \xC4quators (j/n)?\r\n"
                                "n * Zeichnung der Ekliptik (j/n)?\r\n"
                                "j * Einzelschritt (j/n)?\r\n";

TEST_F(ParameterFileTest, WritesTwelveLinesInWindows1252WithCrLf) {
  ASSERT_TRUE(WriteParameterFile("Lunotrop.dat", Defaults(), false).Ok);
  EXPECT_EQ(Read("Lunotrop.dat"), DefaultFile);

  TParameters p = Defaults();
  p.LatitudeText = "54,3"; // kept as typed
  ASSERT_TRUE(WriteParameterFile("Lunotrop.dat", p, true).Ok);
  const std::string bytes = Read("Lunotrop.dat");
  EXPECT_EQ(bytes.substr(0, 2), "b ");
  EXPECT_NE(bytes.find("\r\n54,3 * geogr. Breite\r\n"), std::string::npos);
}

TEST_F(ParameterFileTest, RoundTripGivesTheSameTextsAndAlwaysSingleStep) {
  TParameters written = Defaults();
  written.LatitudeText = "-33,9";
  written.LongitudeText = "18.4";
  written.EquatorAnswer = "j";
  written.AzimuthText = "180";
  ASSERT_TRUE(WriteParameterFile("Lunotrop.dat", written, true).Ok);

  TParameters read;
  bool outside = false, singleStep = false;
  ASSERT_TRUE(ReadParameterFile("lunotrop.DAT", read, outside, singleStep).Ok); // any case
  EXPECT_TRUE(outside);
  EXPECT_TRUE(singleStep);
  EXPECT_EQ(read.LatitudeText, "-33,9");
  EXPECT_NEAR(read.Latitude, -33.9L, 1e-15L);
  EXPECT_EQ(read.LongitudeText, "18.4");
  EXPECT_EQ(read.DayText, " 6");
  EXPECT_EQ(read.MonthText, "12");
  EXPECT_EQ(read.YearText, "2026");
  EXPECT_EQ(read.StartDay, 6);
  EXPECT_EQ(read.StartMonth, 12);
  EXPECT_EQ(read.StartYear, 2026);
  EXPECT_EQ(read.StartTimeText, " 14.35");
  EXPECT_NEAR(read.StartTime, 14.35L, 1e-15L);
  EXPECT_EQ(read.TimeStepText, "0.05");
  EXPECT_EQ(read.DelayText, "30");
  EXPECT_EQ(read.Delay, 30);
  EXPECT_EQ(read.AzimuthText, "180");
  EXPECT_NEAR(read.LineSpacing, std::acos(-1.0L) / 6, 1e-15L);
  EXPECT_EQ(read.EquatorAnswer, "j");
  EXPECT_TRUE(read.DrawEquator);
  EXPECT_EQ(read.EclipticAnswer, "n");
  EXPECT_FALSE(read.DrawEcliptic);
}

TEST_F(ParameterFileTest, ReadsValuesWithAndWithoutCommentsAndAlignedDates) {
  Write("a.dat", File({"Phase", "54.3", "10.1 * geogr. Laenge", " 7. 5.20261 * Startdatum",
                       "   9.05 * Startuhrzeit", "-1.30", "7", "0", "30", "J", "ja", "n"}));
  TParameters p;
  bool outside = true, singleStep = true;
  ASSERT_TRUE(ReadParameterFile("a.dat", p, outside, singleStep).Ok);
  EXPECT_FALSE(outside); // "P" gives the inside view
  EXPECT_FALSE(singleStep);
  EXPECT_EQ(p.LatitudeText, "54.3");
  EXPECT_EQ(p.StartDay, 7);
  EXPECT_EQ(p.StartMonth, 5);
  EXPECT_EQ(p.StartYear, 2026); // a five-digit year is cut to four characters
  EXPECT_EQ(p.StartTimeText, "   9.05");
  EXPECT_NEAR(p.StartTime, 9.05L, 1e-15L);
  EXPECT_NEAR(p.StepDays, -1.30L, 1e-15L);
  EXPECT_TRUE(p.DrawEquator);
  EXPECT_TRUE(p.DrawEcliptic); // the file's letter is the first character of the line
}

TEST_F(ParameterFileTest, AYearWithASignKeepsItsFourDigits) {
  TParameters p = Defaults();
  p.DayText = "1";
  p.MonthText = "1";
  p.YearText = "-4712";
  ASSERT_TRUE(WriteParameterFile("Lunotrop.dat", p, false).Ok);
  TParameters read;
  bool outside = true, singleStep = false;
  ASSERT_TRUE(ReadParameterFile("Lunotrop.dat", read, outside, singleStep).Ok);
  EXPECT_EQ(read.YearText, "-4712");
  EXPECT_EQ(read.StartYear, -4712);
  Write("plus.dat", File({"p", "1", "2", "1.1.+20261 * Startdatum", "12", "1", "1", "0", "30"}));
  ASSERT_TRUE(ReadParameterFile("plus.dat", read, outside, singleStep).Ok);
  EXPECT_EQ(read.StartYear, 2026);
}

TEST_F(ParameterFileTest, DisplayModeFromTheFirstCharacter) {
  for (const auto& [first, outside] :
       {std::pair{"P", false}, {"p", false}, {"b", true}, {" p", true}, {"x", true}}) {
    Write("m.dat", File({first, "1", "2", "1.1.2000", "12", "1", "1", "0", "30"}));
    TParameters p;
    bool isOutside = !outside, singleStep = true;
    ASSERT_TRUE(ReadParameterFile("m.dat", p, isOutside, singleStep).Ok) << first;
    EXPECT_EQ(isOutside, outside) << first;
    EXPECT_FALSE(singleStep); // a missing line 12 means no
    EXPECT_EQ(p.EquatorAnswer, "n");
  }
}

TEST_F(ParameterFileTest, AValueThatDoesNotConvertNamesFileAndLineAndChangesNothing) {
  Write("bad.dat", File({"b", "54.3", "10.1", "1.1.2000", "12", "0.05", "30ms", "0", "30"}));
  TParameters p = Defaults();
  bool outside = false, singleStep = false;
  const TParameterFileResult r = ReadParameterFile("bad.dat", p, outside, singleStep);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Line, 7);
  EXPECT_NE(r.Message.find("bad.dat"), std::string::npos);
  EXPECT_NE(r.Message.find("Zeile 7"), std::string::npos);
  EXPECT_EQ(p.LatitudeText, "54.3");
  EXPECT_FALSE(outside);

  Write("short.dat", File({"b", "54.3"})); // line 3 missing
  EXPECT_EQ(ReadParameterFile("short.dat", p, outside, singleStep).Line, 3);
  Write("date.dat", File({"b", "54.3", "10", "1-1-2000", "12", "1", "1", "0", "30"}));
  EXPECT_EQ(ReadParameterFile("date.dat", p, outside, singleStep).Line, 4);

  const TParameterFileResult missing = ReadParameterFile("fehlt.dat", p, outside, singleStep);
  EXPECT_FALSE(missing.Ok);
  EXPECT_EQ(missing.Line, 0);
  EXPECT_NE(missing.Message.find("fehlt.dat"), std::string::npos);
}

TEST_F(ParameterFileTest, ValuesThatCannotBeShownAreClampedWithANoteAndTheFileStays) {
  const std::string bytes =
      File({"p", "1e30", "-500", "1.1.-9999", "12", "1e30", "2147483647", "0", "30"});
  Write("weit.dat", bytes);
  TParameters p;
  bool outside = true, singleStep = false;
  const TParameterFileResult r = ReadParameterFile("weit.dat", p, outside, singleStep);
  ASSERT_TRUE(r.Ok) << r.Message;
  EXPECT_EQ(p.Latitude, 90);
  EXPECT_EQ(p.LatitudeText, "90");
  EXPECT_EQ(p.Longitude, -180);
  EXPECT_EQ(p.StartYear, -4712);
  EXPECT_EQ(p.YearText, "-4712");
  EXPECT_EQ(p.StepDays, 876000);
  EXPECT_EQ(p.TimeStepText, "876000.00");
  EXPECT_EQ(p.Delay, 10000);
  EXPECT_EQ(p.DelayText, "10000");
  EXPECT_EQ(r.Notes, (std::vector<std::string>{
                         "Breite aus der Parameterdatei auf 90° begrenzt.",
                         "Länge aus der Parameterdatei auf -180° begrenzt.",
                         "Jahr aus der Parameterdatei auf -4712 begrenzt.",
                         "Zeitschritt aus der Parameterdatei auf 876000.00 Stunden begrenzt.",
                         "Verzögerung aus der Parameterdatei auf 10000 ms begrenzt."}));
  EXPECT_EQ(Read("weit.dat"), bytes); // the file itself is not touched

  Write("null.dat", File({"p", "-90", "360", "1.1.-4712", "12", "-876000", "0", "0", "30"}));
  const TParameterFileResult low = ReadParameterFile("null.dat", p, outside, singleStep);
  ASSERT_TRUE(low.Ok);
  EXPECT_EQ(p.Delay, 1);
  EXPECT_EQ(low.Notes,
            std::vector<std::string>{"Verzögerung aus der Parameterdatei auf 1 ms begrenzt."});
}

TEST_F(ParameterFileTest, BytesInMemoryReadAsTheFileAndNameItInTheMessage) {
  TParameters fromFile, fromBytes;
  bool outsideFile = true, outsideBytes = true, stepFile = false, stepBytes = false;
  Write("a.dat", DefaultFile);
  ASSERT_TRUE(ReadParameterFile("a.dat", fromFile, outsideFile, stepFile).Ok);
  ASSERT_TRUE(ParseParameterFile(DefaultFile, "a.dat", fromBytes, outsideBytes, stepBytes).Ok);
  EXPECT_EQ(ParameterFileBytes(fromBytes, outsideBytes), DefaultFile);
  EXPECT_EQ(ParameterFileBytes(fromFile, outsideFile), DefaultFile);
  EXPECT_EQ(stepBytes, stepFile);

  const TParameterFileResult r =
      ParseParameterFile("p\r\nx\r\n", "Klasse 7b.dat", fromBytes, outsideBytes, stepBytes);
  EXPECT_EQ(r.Message, "Parameterdatei \"Klasse 7b.dat\", Zeile 2: \"x\" ist keine gültige Zahl.");
}

// Files that fuzzing found to be refused, or to give a broken message.
TEST_F(ParameterFileTest, OldMacLineEndsShortYearsAndUmlautsInTheYear) {
  // CR alone as the line end.
  std::string mac = DefaultFile;
  for (size_t at = mac.find("\r\n"); at != std::string::npos; at = mac.find("\r\n", at))
    mac.erase(at + 1, 1);
  TParameters p;
  bool outside = true, singleStep = false;
  ASSERT_TRUE(ParseParameterFile(mac, "mac.dat", p, outside, singleStep).Ok);
  EXPECT_EQ(ParameterFileBytes(p, outside), DefaultFile);

  // A year of fewer than four characters, as typed in the dialog, reads back
  // after F2 although its comment follows within the four characters; blanks
  // typed ahead of a year do not shorten it (" 2026" read back as 202).
  for (const auto& [text, year] : {std::pair{"800", 800},
                                   {"-9", -9},
                                   {"+12", 12},
                                   {" 33", 33},
                                   {" 2026", 2026},
                                   {"  -812", -812}}) {
    TParameters written = Defaults();
    written.YearText = text;
    TParameters read;
    const TParameterFileResult r =
        ParseParameterFile(ParameterFileBytes(written, false), "f2.dat", read, outside, singleStep);
    ASSERT_TRUE(r.Ok) << text << ": " << r.Message;
    EXPECT_EQ(read.YearText, text);
    EXPECT_EQ(read.StartYear, year);
  }

  // The four characters of the year are characters, not bytes: the message
  // keeps the "ä" whole (it used to end in half of one, invalid UTF-8).
  const TParameterFileResult r = ParseParameterFile(File({"p", "1", "2", "1.1.200\xE4\xE4"}),
                                                    "datum.dat", p, outside, singleStep);
  EXPECT_EQ(r.Message, "Parameterdatei \"datum.dat\", Zeile 4: \"200ä\" ist keine gültige Zahl.");
}

TEST_F(ParameterFileTest, AFailedWriteIsReportedAndTouchesNothingElse) {
  Write("Lunotrop.dat", DefaultFile);
  Write("blocker", "x"); // a file where the folder should be
  const TFileResult r = WriteParameterFile("blocker/Lunotrop.dat", Defaults(), true);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, "Die Parameterdatei \"blocker/Lunotrop.dat\" kann nicht geschrieben "
                       "werden: den Ordner gibt es nicht.");
  EXPECT_EQ(Read("Lunotrop.dat"), DefaultFile);
}

} // namespace
