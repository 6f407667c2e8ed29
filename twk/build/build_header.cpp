// Assembling the expanded header block.
#include "twk/build/build_header.h"

#include "base/little_endian.h"

namespace {

void AddSaturating(uint32_t* word, uint64_t amount) {
  const uint64_t sum = *word + amount;
  *word = sum > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(sum);
}

void AppendText(const std::string& text, std::vector<uint8_t>* out) {
  out->insert(out->end(), text.begin(), text.end());
  out->push_back(0);
}

}  // namespace

void AddToSizeTable(uint64_t size, uint64_t blocks, uint32_t sizeTable[kSizeTableWords]) {
  for (size_t k = 0; k < kSizeTableBlockCountWord; ++k) {
    const uint64_t unit = static_cast<uint64_t>(kSmallestAllocationUnit) << k;
    AddSaturating(&sizeTable[k], (size + unit - 1) / unit);
  }
  AddSaturating(&sizeTable[kSizeTableBlockCountWord], blocks);
}

std::vector<uint8_t> BuildExpandedHeader(const HeaderContent& header) {
  std::vector<uint8_t> bytes;
  AppendText(header.title, &bytes);
  AppendText(header.bottomText, &bytes);
  AppendText(header.productKey, &bytes);
  AppendText(header.programFolder, &bytes);
  AppendText(header.startMenuFolder, &bytes);
  uint8_t word[4];
  StoreLe32(word, header.directoryChecksum);
  bytes.insert(bytes.end(), word, word + kHeaderDirectoryChecksumSize);
  for (uint32_t value : header.sizeTable) {
    StoreLe32(word, value);
    bytes.insert(bytes.end(), word, word + 4);
  }
  AppendText(header.licence, &bytes);
  return bytes;
}

std::string LicenceForEditControl(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

HeaderContent HeaderOf(const SetupScript& script, const std::string& licence) {
  HeaderContent header;
  header.title = script.title.value;
  header.bottomText = script.bottomText.value;
  header.productKey = script.productKey.value;
  header.programFolder = script.programFolder.value;
  header.startMenuFolder = script.startMenuFolder.value;
  header.licence = licence;
  return header;
}
