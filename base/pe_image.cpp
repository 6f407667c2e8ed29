// The image checksum and the signature fields of a PE header.
#include "base/pe_image.h"

#include <string.h>

#include "base/little_endian.h"

namespace {

constexpr uint32_t kHeaderOffsetField = 0x3C;   // in the DOS header: where "PE\0\0" is
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0" as a little-endian word
constexpr uint32_t kFileHeaderSize = 4 + 20;    // the signature and the COFF header
constexpr uint32_t kOptionalSizeField = 4 + 16;  // from the signature
constexpr uint32_t kChecksumField = 64;          // from the optional header, both kinds
constexpr uint32_t kDirectoryCountField32 = 92;
constexpr uint32_t kDirectoryCountField64 = 108;
constexpr uint32_t kCertificateEntry = 4;        // index of the certificate table
constexpr uint32_t kDirectoryEntrySize = 8;

// Where, in `head`, the certificate-table entry lies (its optional header's start in
// *optional); 0 when `head` does not hold the PE headers of a PE32 or PE32+ file with at
// least five data directories. Nothing outside `head` is read.
uint32_t FindCertificateEntry(const uint8_t* head, uint32_t length, uint32_t* optional) {
  if (length < kHeaderOffsetField + 4 || head[0] != 'M' || head[1] != 'Z') return 0;
  const uint32_t pe = LoadLe32(head + kHeaderOffsetField);
  if (pe > length || length - pe < kFileHeaderSize + 2 || LoadLe32(head + pe) != kPeSignature) {
    return 0;
  }
  *optional = pe + kFileHeaderSize;
  const uint32_t optionalSize = LoadLe16(head + pe + kOptionalSizeField);
  const uint16_t magic = LoadLe16(head + *optional);
  if (magic != 0x10B && magic != 0x20B) return 0;
  const uint32_t countField = magic == 0x10B ? kDirectoryCountField32 : kDirectoryCountField64;
  const uint32_t entry = countField + 4 + kCertificateEntry * kDirectoryEntrySize;
  // The entry must lie inside the optional header as the file declares it, and inside
  // the bytes at hand.
  const uint32_t entryEnd = entry + kDirectoryEntrySize;
  if (optionalSize < entryEnd || length - *optional < entryEnd ||
      LoadLe32(head + *optional + countField) <= kCertificateEntry) {
    return 0;
  }
  return *optional + entry;
}

}  // namespace

void AddToImageChecksum(ImageChecksum* checksum, const uint8_t* bytes, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i, ++checksum->length) {
    checksum->sum += (checksum->length & 1) ? static_cast<uint32_t>(bytes[i]) << 8 : bytes[i];
    checksum->sum = (checksum->sum & 0xFFFF) + (checksum->sum >> 16);
  }
}

uint32_t ImageChecksumValue(const ImageChecksum& checksum) {
  return ((checksum.sum & 0xFFFF) + (checksum.sum >> 16)) + checksum.length;
}

uint32_t ClearSignatureFields(uint8_t* head, uint32_t length) {
  uint32_t optional = 0;
  const uint32_t entry = FindCertificateEntry(head, length, &optional);
  if (entry == 0) return 0;
  memset(head + entry, 0, kDirectoryEntrySize);
  memset(head + optional + kChecksumField, 0, 4);
  return optional + kChecksumField;
}

uint32_t CertificateTableOffset(const uint8_t* head, uint32_t length) {
  uint32_t optional = 0;
  const uint32_t entry = FindCertificateEntry(head, length, &optional);
  // An empty entry names no table, whatever its offset says.
  if (entry == 0 || LoadLe32(head + entry + 4) == 0) return 0;
  return LoadLe32(head + entry);
}
