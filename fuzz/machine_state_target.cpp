// Arbitrary saved states of the simulated machine (registry.txt, machine.txt) read back as
// the next `twk simulate` run reads them.
#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_targets.h"
#include "platform/sim/machine/sim_machine.h"

namespace fs = std::filesystem;

namespace {

constexpr char kRegistryFile[] = "registry.txt";
constexpr char kMachineFile[] = "machine.txt";

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads the state in `root` into a new machine and saves it again; false when the state
// was refused.
bool LoadAndSave(const fs::path& root) {
  sim::SimMachine machine(root);
  try {
    machine.LoadState();
  } catch (const std::exception&) {
    return false;
  }
  machine.SaveState();
  return true;
}

}  // namespace

// The input is registry.txt, then a NUL byte, then machine.txt (absent without the NUL).
bool FuzzMachineState(const uint8_t* data, size_t size) {
  const fs::path root = FreshScratchFolder("machine_state");
  const uint8_t* split = std::find(data, data + size, 0);
  if (!WriteScratchFile(root / kRegistryFile, data, static_cast<size_t>(split - data))) return true;
  if (split != data + size &&
      !WriteScratchFile(root / kMachineFile, split + 1, static_cast<size_t>(data + size - split - 1))) {
    return true;
  }
  if (!LoadAndSave(root)) return true;
  // What a run saved, the next run must read back and save to the same bytes.
  const std::string registry = ReadWhole(root / kRegistryFile);
  const std::string state = ReadWhole(root / kMachineFile);
  return LoadAndSave(root) && ReadWhole(root / kRegistryFile) == registry &&
         ReadWhole(root / kMachineFile) == state;
}
