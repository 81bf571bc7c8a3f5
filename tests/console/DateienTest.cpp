// The program's files: names found without regard to case, in the current
// folder first and then in the data folders; Windows-1252 texts; whole files
// and text lines read, files written atomically; problems reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// ---- reading and writing whole files ------------------------------------------------

namespace {

// A fresh folder that is the current folder while the test runs.
class DateienInFolder : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() /
             ("lunotrop-write-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    Previous = fs::current_path();
    fs::current_path(Folder);
  }
  void TearDown() override {
    fs::current_path(Previous);
    fs::remove_all(Folder);
  }
  static std::string Contents(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(name, bytes).Ok);
    return bytes;
  }
  // Names in the folder: no temporary file may be left behind.
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path Folder, Previous;
};

} // namespace

TEST_F(DateienInFolder, AtomicWriteCreatesAndReplacesWithTheUsualPermissions) {
  const mode_t oldMask = ::umask(022);
  const std::string bytes("Zeile 1\r\n\0\xB0\xFF", 12);
  ASSERT_TRUE(WriteFileAtomically("neu.dat", bytes).Ok);
  EXPECT_EQ(Contents("neu.dat"), bytes);
  EXPECT_EQ(fs::status("neu.dat").permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                     fs::perms::group_read |
                                                     fs::perms::others_read);

  // A replaced file keeps its permissions and, found without regard to
  // case, its spelling.
  fs::permissions("neu.dat", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(WriteFileAtomically("NEU.DAT", "kurz").Ok);
  EXPECT_EQ(Contents("neu.dat"), "kurz");
  EXPECT_EQ(fs::status("neu.dat").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Names(), std::vector<std::string>{"neu.dat"});
  ::umask(oldMask);
}

TEST_F(DateienInFolder, FailedWritesSayWhyAndLeaveTheOldFile) {
  std::ofstream("alt.dat") << "alter Inhalt";

  TFileResult missing = WriteFileAtomically("gibt/es/nicht.dat", "x");
  EXPECT_FALSE(missing.Ok);
  EXPECT_EQ(missing.Reason, "den Ordner gibt es nicht");
  EXPECT_EQ(missing.Message,
            "Die Datei \"gibt/es/nicht.dat\" kann nicht geschrieben werden: den Ordner gibt es "
            "nicht.");

  fs::create_directory("Ordner");
  const TFileResult folder = WriteFileAtomically("Ordner", "x");
  EXPECT_FALSE(folder.Ok);
  EXPECT_EQ(folder.Reason, "dort steht ein Ordner gleichen Namens");
  EXPECT_TRUE(fs::is_directory("Ordner"));

  // A disk that fills up while writing: the file size limit cuts the write
  // short just as a full disk would.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const TFileResult full = WriteFileAtomically("alt.dat", std::string(5000, 'x'));
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(full.Ok);
  EXPECT_EQ(full.Reason, "die Datei wird zu groß");
  EXPECT_EQ(Contents("alt.dat"), "alter Inhalt");

  EXPECT_EQ(Names(), (std::vector<std::string>{"Ordner", "alt.dat"}));
}

TEST_F(DateienInFolder, TextLinesEndAtLineEndsAndCtrlZ) {
  std::ofstream("text.txt", std::ios::binary) << "eins\r\nzwei\n\ndrei\r\nvier";
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextLines("TEXT.TXT", lines).Ok);
  EXPECT_EQ(lines, (std::vector<std::string>{"eins", "zwei", "", "drei", "vier"}));

  EXPECT_EQ(SplitTextLines("a\r\nb\r\n\x1A"
                           "danach\r\n"),
            (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\x1A"), std::vector<std::string>{"a"});
  EXPECT_TRUE(SplitTextLines("").empty());
  EXPECT_EQ(SplitTextLines("\n"), std::vector<std::string>{""});
  // A CR alone ends a line too (old Mac files), so no line keeps a CR.
  EXPECT_EQ(SplitTextLines("a\rb\r\nc\r\r\nd\r"),
            (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\x1A\nb"), std::vector<std::string>{"a"});

  const TFileResult missing = ReadTextLines("fehlt.txt", lines);
  EXPECT_FALSE(missing.Ok);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(missing.Message, "Die Datei \"fehlt.txt\" kann nicht gelesen werden.");
  std::string bytes;
  EXPECT_FALSE(ReadWholeFile("", bytes).Ok);
  fs::create_directory("ordner");
  EXPECT_FALSE(ReadWholeFile("ordner", bytes).Ok);
}

TEST(Dateien, ProblemsGoToStandardErrorUnderOneName) {
  ::testing::internal::CaptureStderr();
  ReportProblem("Die Datei \"x\" fehlt.");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "lunotrop: Die Datei \"x\" fehlt.\n");
}
