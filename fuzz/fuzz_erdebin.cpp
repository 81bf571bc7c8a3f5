// "ERDE.BIN": any bytes give sound segments, and those segments survive
// being written as "ERDE_0.BIN" and read back.
#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  std::vector<TSegment> table;
  DecodeErdeBin(bytes, table);
  RequireSoundTable(table);
  RequireCompactRoundTrip(table);
  return 0;
}
