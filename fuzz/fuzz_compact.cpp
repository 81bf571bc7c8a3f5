// Compact outline files ("ERDE_0.BIN" with two-byte deltas, "grenze_1.bin"
// with one-byte deltas): any bytes decode into sound segments, cut files
// included, and the two-byte table survives being written again.
#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  std::vector<TSegment> words, nibbles;
  DecodeCompactCoastlines(bytes, true, words);
  RequireSoundTable(words);
  DecodeCompactCoastlines(bytes, false, nibbles);
  RequireSoundTable(nibbles);
  // Each 5-byte header gives at most one segment.
  Require(words.size() <= size / 5 && nibbles.size() <= size / 5, "one segment per header");
  RequireCompactRoundTrip(words);
  return 0;
}
