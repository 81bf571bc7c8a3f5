// FensterGraf, the region the window presents: the rectangles a tick drew
// into, handed to Qt as the bands of rows it keeps a region in. Adding
// rectangles to a QRegion one by one merges each into all before it; with
// the few hundred rectangles of a step that draws curves that costs more
// than the step itself. The bands are found here in one sweep instead.
#include <algorithm>
#include <vector>

#include "KernGrafIntern.h"

namespace {

// A run of columns [Left, Right) in one band.
struct TSpan {
  int Left = 0, Right = 0;
  bool operator==(const TSpan&) const = default;
};

int RoundDown(int value, int grain) {
  const int rest = value % grain;
  return rest < 0 ? value - rest - grain : value - rest;
}

int RoundUp(int value, int grain) {
  return -RoundDown(-value, grain);
}

// The rectangles widened to whole bands of `grain` rows (never past the
// bottom of the screen), sorted by their tops.
std::vector<TRect> WidenedToBands(const std::vector<TRect>& rects, int grain, int screenHeight) {
  std::vector<TRect> widened;
  widened.reserve(rects.size());
  for (TRect r : rects) {
    if (RectIsEmpty(r)) continue;
    r.Top = RoundDown(r.Top, grain);
    r.Bottom = std::max(r.Bottom, std::min(RoundUp(r.Bottom, grain), screenHeight));
    widened.push_back(r);
  }
  std::sort(widened.begin(), widened.end(),
            [](const TRect& a, const TRect& b) { return a.Top < b.Top; });
  return widened;
}

// Where bands begin and end: every top and bottom, in order, once.
std::vector<int> BandEdges(const std::vector<TRect>& rects) {
  std::vector<int> edges;
  edges.reserve(2 * rects.size());
  for (const TRect& r : rects) {
    edges.push_back(r.Top);
    edges.push_back(r.Bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  return edges;
}

// The columns the rectangles cover, as runs that neither overlap nor touch
// (into `merged`; `spans` is room to sort in, kept from band to band).
void MergeSpans(const std::vector<TRect>& covering, std::vector<TSpan>& spans,
                std::vector<TSpan>& merged) {
  spans.clear();
  for (const TRect& r : covering) spans.push_back({r.Left, r.Right});
  std::sort(spans.begin(), spans.end(),
            [](const TSpan& a, const TSpan& b) { return a.Left < b.Left; });
  merged.clear();
  for (const TSpan& s : spans) {
    if (!merged.empty() && s.Left <= merged.back().Right)
      merged.back().Right = std::max(merged.back().Right, s.Right);
    else
      merged.push_back(s);
  }
}

} // namespace

QRegion PresentRegion(const std::vector<TRect>& rects, int grain, int screenHeight) {
  grain = std::max(grain, 1);
  const std::vector<TRect> widened = WidenedToBands(rects, grain, screenHeight);
  const std::vector<int> edges = BandEdges(widened);
  // A sweep from top to bottom: between two edges the same rectangles cover
  // every row, so their merged columns make that band. A band with the same
  // columns as the one just above it (bands follow each other without gaps;
  // a gap is a band without columns) continues that one.
  std::vector<QRect> bands;
  std::vector<TRect> covering;
  std::vector<TSpan> spans, above, sorting;
  size_t next = 0;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    const int top = edges[i], bottom = edges[i + 1];
    while (next < widened.size() && widened[next].Top <= top) covering.push_back(widened[next++]);
    std::erase_if(covering, [top](const TRect& r) { return r.Bottom <= top; });
    MergeSpans(covering, sorting, spans);
    if (!spans.empty() && spans == above) {
      for (size_t k = bands.size() - spans.size(); k < bands.size(); ++k)
        bands[k].setBottom(bottom - 1);
    } else {
      for (const TSpan& s : spans) bands.emplace_back(s.Left, top, s.Right - s.Left, bottom - top);
    }
    std::swap(above, spans);
  }
  QRegion region;
  region.setRects(bands.data(), static_cast<int>(bands.size()));
  return region;
}
