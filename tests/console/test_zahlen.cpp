// Number texts and file names of the console: what a typed value converts
// to, where a bad one fails, and how numbers are written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "Dateien.h"
#include "Zahlen.h"

namespace fs = std::filesystem;

TEST(ParseReal, AcceptsTheNumberFormsAUserTypes) {
  long double v = 0;
  EXPECT_EQ(ParseReal("54.3", v), 0);
  EXPECT_NEAR(v, 54.3L, 1e-16L);
  EXPECT_EQ(ParseReal("   9.05", v), 0); // leading blanks are skipped
  EXPECT_NEAR(v, 9.05L, 1e-16L);
  EXPECT_EQ(ParseReal("-1.30", v), 0);
  EXPECT_NEAR(v, -1.3L, 1e-16L);
  EXPECT_EQ(ParseReal("+7", v), 0);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(ParseReal(".5", v), 0);
  EXPECT_EQ(v, 0.5L);
  EXPECT_EQ(ParseReal("5.", v), 0);
  EXPECT_EQ(ParseReal("1e3", v), 0);
  EXPECT_EQ(v, 1000);
}

TEST(ParseReal, GivesThePositionOfTheFirstBadCharacterAndKeepsTheValue) {
  long double v = 42;
  EXPECT_EQ(ParseReal("54,3", v), 3);
  EXPECT_EQ(ParseReal("12a", v), 3);
  EXPECT_EQ(ParseReal("1.5 ", v), 4); // trailing blanks are not allowed
  EXPECT_EQ(ParseReal("", v), 1);
  EXPECT_EQ(ParseReal("  ", v), 3);
  EXPECT_EQ(ParseReal("-", v), 2);
  EXPECT_EQ(ParseReal("1e", v), 3);
  EXPECT_EQ(ParseReal("abc", v), 1);
  EXPECT_NE(ParseReal("1e99999", v), 0); // out of range is an error, not infinity
  EXPECT_EQ(v, 42);
}

TEST(ParseInteger, ConvertsWholeNumbersWithinThirtyTwoBits) {
  int32_t v = 0;
  EXPECT_EQ(ParseInteger(" 7", v), 0);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(ParseInteger("-2147483648", v), 0);
  EXPECT_EQ(v, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ParseInteger("2147483647", v), 0);
  EXPECT_EQ(ParseInteger("2147483648", v), 10);
  EXPECT_EQ(ParseInteger("12a", v), 3);
  EXPECT_EQ(ParseInteger("12 ", v), 3);
  EXPECT_EQ(ParseInteger("1.5", v), 2);
  EXPECT_EQ(ParseInteger("", v), 1);
  EXPECT_EQ(v, 2147483647);
}

TEST(FormatReal, RightAlignsAndRoundsHalfToEven) {
  EXPECT_EQ(FormatReal(7, 2.0L), " 7");
  EXPECT_EQ(FormatReal(2026, 4.0L), "2026");
  EXPECT_EQ(FormatReal(9.5L, 2.2L), "  9.50");
  EXPECT_EQ(FormatReal(14.35L, 2.2L), " 14.35");
  EXPECT_EQ(FormatReal(77.8L, 2.1L), " 77.8");
  EXPECT_EQ(FormatReal(2.5L, 2.0L), " 2");
  EXPECT_EQ(FormatReal(3.5L, 2.0L), " 4");
  EXPECT_EQ(FormatReal(0.125L, 1.2L), " 0.12");
  EXPECT_EQ(FormatReal(-0.5L, 1.1L), "-0.5");
  EXPECT_EQ(FormatReal(12345, 2.0L), "12345"); // never cut
  EXPECT_EQ(FormatReal(12.597L, 2.2L), " 12.60");
}

TEST(RoundEven, HalvesGoToTheEvenNeighbourAndNothingOverflows) {
  EXPECT_EQ(RoundEven(2.5L), 2);
  EXPECT_EQ(RoundEven(3.5L), 4);
  EXPECT_EQ(RoundEven(-2.5L), -2);
  EXPECT_EQ(RoundEven(1e30L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundEven(-1e30L), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundEven(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST(Dateien, FindsFilesWithoutRegardToCase) {
  const fs::path folder =
      fs::temp_directory_path() / ("lunotrop-files-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  std::ofstream("ERDE.BIN") << "x";
  EXPECT_TRUE(FileIsReadable("Erde.bin"));
  EXPECT_EQ(ResolveFileName("erde.BIN"), "ERDE.BIN");
  EXPECT_FALSE(FileIsReadable("ECLGRAPH.DAT"));
  EXPECT_FALSE(FileIsReadable(""));
  fs::create_directory("Ordner");
  EXPECT_FALSE(FileIsReadable("ordner")); // a folder is not a readable file
  EXPECT_EQ(ResolveFileNameForWriting("lunotrop.dat"), "lunotrop.dat");

  // Data folders are searched after the current folder, for reading only.
  fs::create_directory("daten");
  std::ofstream("daten/CITY.DAT") << "x";
  SetDataFolders((folder / "daten").string());
  EXPECT_TRUE(FileIsReadable("city.dat"));
  EXPECT_EQ(ResolveFileNameForWriting("CITY.DAT"), "CITY.DAT");
  SetDataFolders("");
  EXPECT_FALSE(FileIsReadable("city.dat"));
  fs::current_path(previous);
  fs::remove_all(folder);
}

TEST(Dateien, ConvertsWindows1252) {
  EXPECT_EQ(Cp1252ToUtf8("geogr. L\xE4nge \xB0 \x80"), "geogr. Länge ° €");
  EXPECT_EQ(Utf8ToCp1252("Verzögerung Äquator ß °"), "Verz\xF6gerung \xC4quator \xDF \xB0");
  EXPECT_EQ(Utf8ToCp1252("日"), "?");
}
