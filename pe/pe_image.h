// A read-only view of a PE image (PE32 or PE32+): its headers, its sections and its
// resource tree. Every field is read through bounds checks, so any bytes at all, damaged
// or hostile, give "not an image" or "absent" and never a read outside the image.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// File-header Machine values of the two architectures the installer is built for.
constexpr uint16_t kPeMachineI386 = 0x14C;
constexpr uint16_t kPeMachineAmd64 = 0x8664;

// A byte range inside the image; `data` is null when the range is absent.
struct PeSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

class PeImage {
 public:
  // `image` holds `size` bytes and must outlive this view. Nothing outside it is read.
  PeImage(const uint8_t* image, size_t size);

  bool valid() const { return valid_; }
  bool is64() const { return is64_; }
  // The file header's Machine: 0x14C for i386, 0x8664 for x86_64 (the loader of a process
  // loads only images of its own machine); 0 in an invalid image.
  uint16_t machine() const { return machine_; }

  // The file offset of the optional header's CheckSum word (0 in an invalid image).
  size_t checksumOffset() const { return checksumOffset_; }

  // True when the image carries an Authenticode signature (a certificate table).
  bool hasCertificates() const { return certificatesSize_ != 0; }

  // The `length` bytes at relative virtual address `rva`, when all of them lie in the
  // file-backed part of one section; absent otherwise.
  PeSpan MapRva(uint32_t rva, uint32_t length) const;

  // The data of the first resource of the numeric `type` (its first name and first
  // language, in directory order); absent when the image has none or the tree is damaged.
  PeSpan FirstResource(uint16_t type) const;

  // Entries below a type that AllResources reads at most: no file has thousands of
  // languages of one resource, but a hostile tree can point at the same tables over and
  // over.
  static constexpr size_t kMaxResourceEntries = 1u << 16;
  // The data of every resource of the numeric `type`, each name's each language, in
  // directory order, each once however often the tree points at it; entries that lead
  // nowhere are passed over. False when the type holds more than kMaxResourceEntries
  // entries: `found` then holds those before them.
  bool AllResources(uint16_t type, std::vector<PeSpan>* found) const;

 private:
  struct Section {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawSize;
    uint32_t rawOffset;
  };

  bool ParseHeaders();
  bool FindSection(uint32_t rva, Section* section) const;
  PeSpan ResourceDirectory() const;
  // The data that the data entry at `dataEntry` of `tree` describes; absent when it does
  // not lie in the image.
  PeSpan DataOf(const PeSpan& tree, uint32_t dataEntry) const;

  const uint8_t* image_;
  size_t size_;
  bool valid_ = false;
  bool is64_ = false;
  uint16_t machine_ = 0;
  size_t sectionTable_ = 0;  // file offset of the first section header
  uint16_t sectionCount_ = 0;
  uint32_t resourceRva_ = 0;
  uint32_t resourceSize_ = 0;
  size_t checksumOffset_ = 0;
  uint32_t certificatesSize_ = 0;
};
