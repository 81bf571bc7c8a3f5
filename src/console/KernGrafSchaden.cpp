// KernGraf, the damage records: which rectangles of the screen drawing has
// changed. Plain C++ on the console's interface: both front ends compile
// this same file and hand every drawn rectangle to ReportDamage.
#include <algorithm>
#include <vector>

#include "KernGraf.h"

// What a front end does with a drawn rectangle: the damage records and its
// present (KernGraf.cpp, WebScreen.cpp).
void NotifyScreenChanged(const TRect& drawn);

namespace {

// The damage records being watched.
std::vector<TDamageRecord*> WatchedRecords;

// The open damage group: how deep it is nested and what it drew so far.
int DamageGroupDepth = 0;
TRect GroupedDamage;

long long Area(const TRect& r) {
  return static_cast<long long>(r.Right - r.Left) * (r.Bottom - r.Top);
}

// The area of the union of a and b beyond a's own.
long long Growth(const TRect& a, const TRect& b) {
  return Area(RectUnion(a, b)) - Area(a);
}

} // namespace

// ---- damage ------------------------------------------------------------------------------
void WatchDamage(TDamageRecord& record) {
  if (std::find(WatchedRecords.begin(), WatchedRecords.end(), &record) == WatchedRecords.end())
    WatchedRecords.push_back(&record);
}

void UnwatchDamage(TDamageRecord& record) {
  std::erase(WatchedRecords, &record);
}

void ClearDamage(TDamageRecord& record) {
  record.Rects.clear();
  record.Drawn.clear();
  record.LastHit = 0;
}

void ReportDamage(const TRect& drawn) {
  for (TDamageRecord* record : WatchedRecords) AddDamage(*record, drawn);
}

void BeginDamageGroup() {
  ++DamageGroupDepth;
}

void EndDamageGroup() {
  if (DamageGroupDepth == 0 || --DamageGroupDepth > 0) return;
  const TRect drawn = GroupedDamage;
  GroupedDamage = {};
  if (!RectIsEmpty(drawn)) NotifyScreenChanged(drawn);
}

bool GatherDamage(const TRect& drawn) {
  if (DamageGroupDepth == 0) return false;
  GroupedDamage = RectUnion(GroupedDamage, drawn);
  return true;
}

void AddDamage(TDamageRecord& record, const TRect& rect) {
  const TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, MaxX() + 1),
                std::min(rect.Bottom, MaxY() + 1)};
  if (RectIsEmpty(r)) return;
  std::vector<TRect>& rects = record.Rects;
  std::vector<long long>& drawn = record.Drawn;
  // The pieces of one figure come in a row, so only the rectangles added
  // last are looked at: the thousands of short lines of a globe fall into
  // the rectangle of its disc, and a curve's next line joins its last
  // rectangle. A rectangle kept twice costs a little copying, never a wrong
  // picture.
  constexpr size_t Recent = 8;
  const size_t from = rects.size() > Recent ? rects.size() - Recent : 0;
  if (record.LastHit < rects.size() && RectContains(rects[record.LastHit], r)) return;
  for (size_t i = rects.size(); i-- > from;) {
    if (RectContains(rects[i], r)) {
      record.LastHit = i;
      return;
    }
  }
  // A rectangle joins a recent one when their union is hardly larger than
  // what was drawn into the two: a long curve of short lines becomes a
  // chain of rectangles along it, not one rectangle over all the sky it
  // crosses.
  size_t join = rects.size();
  for (size_t i = rects.size(); i-- > from && join == rects.size();)
    if (Area(RectUnion(rects[i], r)) * 4 <= (drawn[i] + Area(r)) * 5 + 1024) join = i;
  // When the list is full, it joins the kept one it enlarges least.
  if (join == rects.size() && rects.size() >= std::max<size_t>(record.Capacity, 1)) {
    join = 0;
    for (size_t i = 1; i < rects.size(); ++i)
      if (Growth(rects[i], r) < Growth(rects[join], r)) join = i;
  }
  if (join == rects.size()) {
    rects.push_back(r);
    drawn.push_back(Area(r));
    record.LastHit = join;
    return;
  }
  rects[join] = RectUnion(rects[join], r);
  drawn[join] += Area(r);
  record.LastHit = join;
}
