// Block records for the reader's tests, compressed by the builder's own codec.
#include <stdexcept>

#include "base/little_endian.h"
#include "codec/encoder/compress_block.h"
#include "package/block_checksum.h"
#include "tests/twk/read_fixture.h"

Bytes BlockRecordOf(const Bytes& data) {
  Bytes stored;
  if (!CompressBlock(data.data(), data.size(), &stored)) throw std::runtime_error("compress");
  Bytes record(10);
  StoreLe16(&record[0], static_cast<uint16_t>(stored.size()));
  StoreLe32(&record[2], BlockChecksum(data.data(), data.size(), 0xFFFFFFFFu));
  StoreLe32(&record[6], BlockChecksum(stored.data(), stored.size(), 0xFFFFFFFFu));
  record.insert(record.end(), stored.begin(), stored.end());
  return record;
}
