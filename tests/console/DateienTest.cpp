// File names of the console: found without regard to case, in the current
// folder first and then in the data folders; Windows-1252 texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Dateien.h"

namespace fs = std::filesystem;

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
