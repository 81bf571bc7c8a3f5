// KernGraf, the text record: which texts the screen shows, kept true to the
// screen as drawing goes on, so that tests can check a layout for texts that
// are cut, overprinted or beyond the screen's edge (see KernGraf.h).
#include <algorithm>

#include "KernGrafIntern.h"

namespace {

TTextRecord* Watched = nullptr;

QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

TRect Moved(TRect r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return r;
}

bool SameText(const TShownText& a, const TShownText& b) {
  const TRect &p = a.Box, &q = b.Box;
  return a.Text == b.Text && p.Left == q.Left && p.Top == q.Top && p.Right == q.Right &&
         p.Bottom == q.Bottom;
}

// What an opaque area does to one noted text: nothing, a cut, or the end.
enum class TCover { None, Part, Whole };
// Only the part of a box on the screen can be covered; a text with nothing
// on the screen goes only with the whole screen.
TCover CoverOf(const QRegion& area, const TRect& box) {
  const QRect screen = Framebuffer().rect();
  const QRect r = ToQRect(box).intersected(screen);
  if (r.isEmpty()) return QRegion(screen).subtracted(area).isEmpty() ? TCover::Whole : TCover::None;
  if (!area.intersects(r)) return TCover::None;
  return QRegion(r).subtracted(area).isEmpty() ? TCover::Whole : TCover::Part;
}

// Applies an opaque area to the noted texts. A text that the area paints
// back as it was (spared: a picture holding it in the same place) stays.
void Cover(const QRegion& area, const std::vector<TShownText>& spared = {}) {
  std::vector<TShownText>& texts = Watched->Texts;
  for (size_t i = 0; i < texts.size();) {
    const bool paintedBack = std::any_of(
        spared.begin(), spared.end(), [&](const TShownText& s) { return SameText(s, texts[i]); });
    const TCover cover = paintedBack ? TCover::None : CoverOf(area, texts[i].Box);
    if (cover == TCover::Whole) {
      texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (cover == TCover::Part) texts[i].Cut = true;
    ++i;
  }
}

bool Noted(const TShownText& text) {
  return std::any_of(Watched->Texts.begin(), Watched->Texts.end(),
                     [&text](const TShownText& t) { return SameText(t, text); });
}

} // namespace

void WatchTexts(TTextRecord& record) {
  Watched = &record;
}

void UnwatchTexts(TTextRecord& record) {
  if (Watched == &record) Watched = nullptr;
}

bool TextsWatched() {
  return Watched != nullptr;
}

void RecordCover(const QRegion& area) {
  if (Watched == nullptr) return;
  Cover(area);
}

void RecordCover(const TRect& area) {
  if (Watched == nullptr) return;
  Cover(QRegion(ToQRect(area)));
}

void RecordText(const std::string& visibleText, const TRect& visibleBox, int colour,
                const TRect& drawnBox, bool opaque) {
  if (Watched == nullptr) return;
  const TShownText text{visibleBox, visibleText, colour, false};
  // The same text in the same box is drawn over itself: the new one stands,
  // or, in Black, the text is erased.
  std::erase_if(Watched->Texts, [&text](const TShownText& t) { return SameText(t, text); });
  const bool noted = !visibleText.empty() && colour != Black;
  if (opaque) RecordCover(drawnBox);
  if (noted) Watched->Texts.push_back(text);
}

std::vector<TShownText> TextsToCarry(const TRect& rect) {
  std::vector<TShownText> carried;
  if (Watched == nullptr) return carried;
  const QRegion area(ToQRect(rect));
  for (const TShownText& text : Watched->Texts) {
    const TCover cover = CoverOf(area, text.Box);
    if (cover == TCover::None) continue;
    TShownText kept = text;
    kept.Box = Moved(text.Box, -rect.Left, -rect.Top);
    kept.Cut = text.Cut || cover == TCover::Part;
    carried.push_back(kept);
  }
  return carried;
}

void RecordPicturePut(const std::vector<TShownText>& carried, const TRect& area, int x, int y) {
  if (Watched == nullptr) return;
  std::vector<TShownText> onScreen;
  for (TShownText text : carried) {
    text.Box = Moved(text.Box, x, y);
    onScreen.push_back(text);
  }
  const QRegion put(ToQRect(area));
  Cover(put, onScreen);
  for (TShownText& text : onScreen) {
    const TCover cover = CoverOf(put, text.Box);
    if (cover == TCover::None || Noted(text)) continue;
    text.Cut = text.Cut || cover == TCover::Part;
    Watched->Texts.push_back(text);
  }
}
