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

  // The one noted text with these characters; fails the test if there is
  // not exactly one.
  const TShownText* Find(const std::string& text) {
    const TShownText* found = nullptr;
    int count = 0;
    for (const TShownText& t : Record.Texts)
      if (t.Text == text) {
        found = &t;
        ++count;
      }
    EXPECT_EQ(count, 1) << text;
    return count == 1 ? found : nullptr;
  }

  void Fill(int x, int y, int width, int height) {
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
  const TShownText& t = Record.Texts[0];
  EXPECT_EQ(t.Text, "Mond");
  EXPECT_EQ(t.Colour, LightRed);
  EXPECT_FALSE(t.Cut);
  EXPECT_EQ(t.Box.Left, 100 + 2 * CharWidth);
  EXPECT_EQ(t.Box.Right, 100 + 6 * CharWidth);
  EXPECT_EQ(t.Box.Top, 50 - CharHeight);
  EXPECT_EQ(t.Box.Bottom, 50);

  // Alignment moves the box; a text beyond the edge keeps its whole box.
  SetTextJustify(2, 2);
  OutTextXY(20, 200, "rechtsbündig", White);
  const TShownText* right = Find("rechtsbündig");
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->Box.Right, 20);
  EXPECT_LT(right->Box.Left, 0);
  EXPECT_EQ(right->Box.Top, 200);

  // The same text in Black over it erases it.
  SetTextJustify(0, 0);
  OutTextXY(100, 50, "  Mond  ", Black);
  ASSERT_EQ(Record.Texts.size(), 1u);
  EXPECT_EQ(Record.Texts[0].Text, "rechtsbündig");

  // Nothing is noted without a watched record.
  UnwatchTexts(Record);
  OutTextXY(300, 300, "ungesehen", White);
  EXPECT_EQ(Record.Texts.size(), 1u);
}

TEST_F(TextRecordTest, FillsDropCoveredTextsAndCutTouchedOnes) {
  OutTextXY(100, 50, "ganz", White);
  OutTextXY(100, 100, "halb", White);
  OutTextXY(100, 150, "daneben", White);
  Fill(90, 20, 100, 40);                  // over all of "ganz"
  Fill(100 + CharWidth, 80, 3, 40);       // a strip through "halb"
  Fill(100 + 7 * CharWidth, 130, 50, 30); // just right of "daneben"
  EXPECT_EQ(Record.Texts.size(), 2u);
  ASSERT_NE(Find("halb"), nullptr);
  EXPECT_TRUE(Find("halb")->Cut);
  ASSERT_NE(Find("daneben"), nullptr);
  EXPECT_FALSE(Find("daneben")->Cut);

  // Drawn again in the same place, the text stands whole again.
  OutTextXY(100, 100, "halb", White);
  ASSERT_NE(Find("halb"), nullptr);
  EXPECT_FALSE(Find("halb")->Cut);

  // The white screen of ClearScreen covers everything.
  ClearScreen();
  EXPECT_TRUE(Record.Texts.empty());
}

TEST_F(TextRecordTest, DiscsAndTextBackgroundsCoverLikeFills) {
  OutTextXY(100, 50, "Mondbahn", White);
  SetFillStyle(255, LightGray, LightGray);
  DrawEllipse(100, 45, 10, 10); // over the first letters
  ASSERT_NE(Find("Mondbahn"), nullptr);
  EXPECT_TRUE(Find("Mondbahn")->Cut);
  DrawEllipse(100 + 4 * CharWidth, 45 - CharHeight / 2, 200, 200); // over all of it
  EXPECT_TRUE(Record.Texts.empty());

  // A text with a background box covers the one below; a transparent one
  // does not.
  OutTextXY(100, 300, "unten", White);
  OutTextXY(100 + 3 * CharWidth, 300, "darüber", Yellow);
  ASSERT_NE(Find("unten"), nullptr);
  EXPECT_FALSE(Find("unten")->Cut);
  SetTextBackground(Black);
  OutTextXY(100 + 3 * CharWidth, 300, "Kasten", Yellow);
  EXPECT_TRUE(Find("unten")->Cut);
  // An eraser's box covers as well.
  OutTextXY(100, 300, "xxxxxxxxxxxxxxxxxxxx", Black);
  EXPECT_TRUE(Record.Texts.empty());
}

TEST_F(TextRecordTest, PicturesCarryTheirTextsToWhereTheyArePut) {
  OutTextXY(20, 40, "im Bild", White);
  OutTextXY(150, 40, "am Rand", White);
  const TPicture picture = GrabPicture(0, 0, 159, 99); // "am Rand" only in part
  Fill(0, 0, 640, 480);
  EXPECT_TRUE(Record.Texts.empty());

  PutPicture(picture, 300, 200);
  ASSERT_EQ(Record.Texts.size(), 2u);
  ASSERT_NE(Find("im Bild"), nullptr);
  EXPECT_EQ(Find("im Bild")->Box.Left, 320);
  EXPECT_EQ(Find("im Bild")->Box.Bottom, 240);
  EXPECT_FALSE(Find("im Bild")->Cut);
  EXPECT_TRUE(Find("am Rand")->Cut);

  // A part of the picture put back over its own text leaves it whole; a part
  // that holds only half of a text brings that half as a cut text.
  Fill(0, 0, 640, 480);
  PutPicture(picture, 0, 0);
  PutPicturePart(picture, TRect{0, 0, 30, 100}, 0, 0);
  EXPECT_FALSE(Find("im Bild")->Cut);
  Fill(0, 0, 640, 480);
  PutPicturePart(picture, TRect{0, 0, 30, 100}, 0, 0);
  ASSERT_NE(Find("im Bild"), nullptr);
  EXPECT_TRUE(Find("im Bild")->Cut);

  // A freed picture's handle carries nothing into the next picture.
  FreePicture(picture);
  Fill(0, 0, 640, 480);
  const TPicture empty = GrabPicture(0, 0, 159, 99);
  PutPicture(empty, 0, 0);
  EXPECT_TRUE(Record.Texts.empty());
  FreePicture(empty);
}
