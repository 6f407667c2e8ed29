// Block records made with the builder's encoder, for tests that need real ones.
#include "codec/encoder/compress_block.h"
#include "package/block_checksum.h"
#include "tests/package/package_test_support.h"

namespace package_test {

Bytes BlockRecordOf(const Bytes& plain) {
  const uint32_t start = 0xFFFFFFFFu;
  Bytes stored;
  EXPECT_TRUE(CompressBlock(plain.data(), plain.size(), &stored));
  return Concat({Le16(static_cast<uint16_t>(stored.size())),
                 Le32(BlockChecksum(plain.data(), plain.size(), start)),
                 Le32(BlockChecksum(stored.data(), stored.size(), start)), stored});
}

}  // namespace package_test
