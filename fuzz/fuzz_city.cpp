// "CITY.DAT": any text gives at most 199 cities with short names and
// finite positions.
#include <string>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TSegment points;
  std::vector<std::string> names;
  DecodeCityText(text, points, names);
  Require(names.size() <= 199, "at most 199 cities");
  Require(names.size() == points.Points.size(), "a point for every name");
  for (const std::string& name : names)
    Require(name.size() <= 60, "20 characters, each at most three bytes in UTF-8");
  RequireSoundTable(points.Points.empty() ? std::vector<TSegment>()
                                          : std::vector<TSegment>{points});
  return 0;
}
