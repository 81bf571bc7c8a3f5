// "ECLGRAPH.DAT": any text converts into an "ERDE.BIN" that ends with the
// end pair and reads back into sound segments.
#include <string>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<uint8_t> erdeBin = ConvertEclgraphText(text);
  Require(erdeBin.size() % 8 == 0 && erdeBin.size() >= 8, "whole pairs, at least the end pair");
  Require(erdeBin[erdeBin.size() - 1] == 0x41 && erdeBin[erdeBin.size() - 4] == 0x99,
          "ends with the end pair");
  std::vector<TSegment> table;
  DecodeErdeBin(erdeBin, table);
  RequireSoundTable(table);
  return 0;
}
