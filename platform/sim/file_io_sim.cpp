// The platform's file operations, carried out on the current simulated machine.
#include "platform/file_io.h"

#include <string>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

constexpr auto kFiles = &sim::SimMachine::files;

}  // namespace

File OpenForReading(const char* path) {
  return path ? sim::CurrentMachine().files.Open(path) : nullptr;
}

bool SeekFromStart(File file, uint32_t offset) {
  return sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.Seek(file, offset, error);
  });
}

bool ReadFromFile(File file, void* buffer, uint32_t count, uint32_t* got) {
  return sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.Read(file, buffer, count, got, error);
  });
}

File CreateForWriting(const char* path, CreateRefusal* refusal) {
  if (path == nullptr) {
    if (refusal != nullptr) *refusal = CreateRefusal::kCannotOpen;
    return nullptr;
  }
  return sim::CurrentMachine().files.Create(path, sim::SimFileSystem::CreateMode::kReplace,
                                            refusal);
}

File CreateNewForWriting(const char* path) {
  return path ? sim::CurrentMachine().files.Create(path, sim::SimFileSystem::CreateMode::kNew)
              : nullptr;
}

bool WriteToFile(File file, const void* buffer, uint32_t count, uint32_t* written) {
  return sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.Write(file, buffer, count, written, error);
  });
}

bool SetLastWriteTime(File file, FileTime time) {
  return sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.SetTime(file, time, error);
  });
}

void CloseFile(File file) {
  if (file == nullptr) return;
  sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.Close(file, error);
  });
}

}  // namespace platform
