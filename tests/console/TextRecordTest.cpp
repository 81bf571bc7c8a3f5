// The record of the texts on the screen: what is noted, and how fills,
// discs, text backgrounds and pictures drawn later drop a text or cut it.
#include <gtest/gtest.h>

#include "ConsoleTestHelpers.h"
#include "Kern2Graf.h"
#include "KernGraf.h"

namespace {

class TextRecordTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetConsole();
    SetTextBackground(-1);
    WatchTexts(Record);
  }
  void TearDown() override { UnwatchTexts(Record); }

  // "-" for a text not noted, "cut" or "whole" for one noted once.
  std::string State(const std::string& text) const {
    std::string state = "-";
    for (const TShownText& t : Record.Texts)
      if (t.Text == text) state = state == "-" ? (t.Cut ? "cut" : "whole") : "twice";
    return state;
  }

  static void Fill(int x, int y, int width, int height) {
    SetFillStyle(255, Black, Black);
    FillBar(x, y, width, height);
  }

  TTextRecord Record;
};

} // namespace

TEST_F(TextRecordTest, NotesTheVisibleCharactersWithTheirBoxButNotErasers) {
  OutTextXY(100, 50, "  Mond  ", LightRed); // y is the bottom of the box
  OutTextXY(100, 80, "Sonne", Black);       // an eraser
  OutTextXY(100, 110, "   ", White);        // nothing to read
  ASSERT_EQ(Record.Texts.size(), 1u);
  const TShownText t = Record.Texts[0];
  EXPECT_EQ(t.Text, "Mond");
  EXPECT_EQ(t.Colour, LightRed);
  EXPECT_EQ(t.Box.Left, 100 + 2 * CharWidth);
  EXPECT_EQ(t.Box.Right, 100 + 6 * CharWidth);
  EXPECT_EQ(t.Box.Top, 50 - CharHeight);
  EXPECT_EQ(t.Box.Bottom, 50);
  // A text beyond the edge keeps its whole box; the same text in Black over
  // a noted one erases it; nothing is noted without a watched record.
  SetTextJustify(2, 0);
  OutTextXY(20, 200, "rechtsbündig", White);
  EXPECT_LT(Record.Texts.back().Box.Left, 0);
  SetTextJustify(0, 0);
  OutTextXY(100, 50, "  Mond  ", Black);
  EXPECT_EQ(State("Mond"), "-");
  UnwatchTexts(Record);
  OutTextXY(300, 300, "ungesehen", White);
  EXPECT_EQ(Record.Texts.size(), 1u);
}

TEST_F(TextRecordTest, FillsDiscsAndTextBackgroundsDropOrCutWhatTheyCover) {
  OutTextXY(100, 50, "ganz", White);
  OutTextXY(100, 100, "halb", White);
  OutTextXY(100, 150, "daneben", White);
  OutTextXY(100, 200, "Mondbahn", White);
  Fill(90, 20, 100, 40);                  // over all of "ganz"
  Fill(100 + CharWidth, 80, 3, 40);       // a strip through "halb"
  Fill(100 + 7 * CharWidth, 130, 50, 30); // just right of "daneben"
  SetFillStyle(255, LightGray, LightGray);
  DrawEllipse(100, 195, 10, 10); // over the first letters
  EXPECT_EQ(State("ganz"), "-");
  EXPECT_EQ(State("halb"), "cut");
  EXPECT_EQ(State("daneben"), "whole");
  EXPECT_EQ(State("Mondbahn"), "cut");
  // Drawn again in the same place, a text stands whole again.
  OutTextXY(100, 100, "halb", White);
  EXPECT_EQ(State("halb"), "whole");

  // A text with a background box covers the one below; a transparent one
  // does not.
  OutTextXY(100 + 3 * CharWidth, 100, "darüber", Yellow);
  EXPECT_EQ(State("halb"), "whole");
  SetTextBackground(Black);
  OutTextXY(100 + 3 * CharWidth, 100, "Kasten", Yellow);
  EXPECT_EQ(State("halb"), "cut");
  ClearScreen();
  EXPECT_TRUE(Record.Texts.empty());
}

TEST_F(TextRecordTest, PicturesCarryTheirTextsToWhereTheyArePut) {
  OutTextXY(20, 40, "im Bild", White);
  OutTextXY(150, 40, "am Rand", White);
  const TPicture picture = GrabPicture(0, 0, 159, 99); // "am Rand" only in part
  Fill(0, 0, 640, 480);
  EXPECT_TRUE(Record.Texts.empty());
  PutPicture(picture, 300, 200);
  EXPECT_EQ(State("im Bild"), "whole");
  EXPECT_EQ(State("am Rand"), "cut");
  EXPECT_EQ(Record.Texts[0].Box.Left, 320);

  // A part put back over its own text leaves it whole; a part that holds
  // only half of a text brings it back cut.
  Fill(0, 0, 640, 480);
  PutPicture(picture, 0, 0);
  PutPicturePart(picture, TRect{0, 0, 30, 100}, 0, 0);
  EXPECT_EQ(State("im Bild"), "whole");
  Fill(0, 0, 640, 480);
  PutPicturePart(picture, TRect{0, 0, 30, 100}, 0, 0);
  EXPECT_EQ(State("im Bild"), "cut");

  // A freed picture's handle carries nothing into the next picture.
  FreePicture(picture);
  Fill(0, 0, 640, 480);
  const TPicture empty = GrabPicture(0, 0, 159, 99);
  PutPicture(empty, 0, 0);
  EXPECT_TRUE(Record.Texts.empty());
  FreePicture(empty);
}
