// The program's own texts on the simulated Windows: the section is read from the
// program's file in the sandbox, as the loader would map it, and kept by the process.
#include "platform/program_texts.h"

#include <fstream>
#include <string>

#include "base/message_section.h"
#include "base/pe_image.h"
#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

constexpr uint32_t kHeaderPage = 4096;

std::vector<uint8_t> ReadAt(std::ifstream& file, uint64_t offset, uint32_t size) {
  std::vector<uint8_t> bytes(size);
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

}  // namespace

bool FindOwnTextSection(const uint8_t** data, uint32_t* size) {
  sim::SimMachine& machine = sim::CurrentMachine();
  std::vector<uint8_t>& kept = machine.process.textSection;
  kept.clear();
  std::ifstream file(machine.files.HostPath(machine.process.modulePath), std::ios::binary);
  if (!file) return false;
  const std::vector<uint8_t> head = ReadAt(file, 0, kHeaderPage);
  ImageSection section;
  if (!FindImageSection(head.data(), static_cast<uint32_t>(head.size()), kMessageSectionName,
                        &section)) {
    return false;
  }
  const uint32_t wanted = section.virtualSize != 0 && section.virtualSize < section.rawSize
                              ? section.virtualSize
                              : section.rawSize;
  // A loaded image has all of it; a file cut short has not been loaded at all.
  kept = ReadAt(file, section.rawOffset, wanted);
  if (kept.size() != wanted || kept.empty()) return false;
  *data = kept.data();
  *size = static_cast<uint32_t>(kept.size());
  return true;
}

void SetDialogTexts(const DialogText* texts, int count) {
  sim::SimMachine& machine = sim::CurrentMachine();
  for (int i = 0; i < count; ++i) {
    machine.ui.dialogTexts[{texts[i].dialog, texts[i].control}] = texts[i].text;
  }
  machine.ui.Note("the dialogs get " + std::to_string(count) + " texts of the program's own");
}

}  // namespace platform
