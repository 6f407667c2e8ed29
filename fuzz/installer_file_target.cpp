// Arbitrary installation files through twk's reading commands (list, verify, extract).
#include <sstream>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_targets.h"
#include "twk/common/exit_codes.h"
#include "twk/reader_commands.h"

namespace fs = std::filesystem;

namespace {

constexpr char kInstallerName[] = "SETUP.EXE";
constexpr char kOutputName[] = "out";

// An exit code that the reading commands document; extract alone reports output errors.
bool IsReadingExitCode(int code, bool extracting) {
  return code == kExitOk || code == kExitDamaged || code == kExitInputError ||
         (extracting && code == kExitOutputError);
}

// Extraction wrote below its output folder and nowhere else, left no symbolic link and no
// half-written temporary file behind.
bool StayedInside(const fs::path& folder) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name != kInstallerName && name != kOutputName) return false;
  }
  const fs::path output = folder / kOutputName;
  if (!fs::exists(output, error)) return true;
  for (fs::recursive_directory_iterator it(output, error), end; !error && it != end;
       it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    if (!fs::is_regular_file(status) && !fs::is_directory(status)) return false;
    if (it->path().filename().string().rfind(".twk-extract-", 0) == 0) return false;
  }
  return !error;
}

}  // namespace

bool FuzzInstallerFile(const uint8_t* data, size_t size) {
  const fs::path folder = FreshScratchFolder("installer_file");
  const fs::path installer = folder / kInstallerName;
  if (!WriteScratchFile(installer, data, size)) return true;
  const int descriptors = OpenDescriptorCount();
  std::ostringstream out;
  std::ostringstream err;
  const int listed = ListInstaller(installer.string(), out, err);
  const int verified = VerifyInstaller(installer.string(), out, err);
  const int extracted =
      ExtractInstaller(installer.string(), (folder / kOutputName).string(), out, err);
  bool sound = IsReadingExitCode(listed, false) && IsReadingExitCode(verified, false) &&
               IsReadingExitCode(extracted, true);
  // verify checks everything that list and extract read, and more.
  if (verified == kExitOk) {
    sound = sound && listed == kExitOk &&
            (extracted == kExitOk || extracted == kExitOutputError);
  }
  return sound && StayedInside(folder) && OpenDescriptorCount() == descriptors;
}
