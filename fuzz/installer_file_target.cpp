// Arbitrary installation files through twk's reading commands (list, verify, extract,
// diff).
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

// An exit code that the reading commands document; list never reports an output error
// (verify does, for targets that extract would refuse).
bool IsReadingExitCode(int code, bool listing) {
  return code == kExitOk || code == kExitDamaged || code == kExitInputError ||
         (!listing && code == kExitOutputError);
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
  const int diffed =
      DiffInstallers(installer.string(), installer.string(), out, err, ReportFormat::kText, 2);
  bool sound = IsReadingExitCode(listed, true) && IsReadingExitCode(verified, false) &&
               IsReadingExitCode(extracted, false);
  // An installer is the same as itself exactly when nothing of it is damaged: diff finds
  // what verify finds, and never takes a damaged installer for the same.
  const bool intact = verified == kExitOk || verified == kExitOutputError;
  sound = sound && (diffed == kExitOk) == intact &&
          (verified != kExitDamaged || diffed == kExitDiffDamaged) &&
          (verified != kExitInputError || diffed == kExitInputError);
  // verify checks everything that list and extract read, and more; an intact package
  // whose targets extract refuses is an output error for both.
  if (verified == kExitOk) {
    sound = sound && listed == kExitOk &&
            (extracted == kExitOk || extracted == kExitOutputError);
  } else if (verified == kExitOutputError) {
    sound = sound && listed == kExitOk && extracted == kExitOutputError;
  }
  return sound && StayedInside(folder) && OpenDescriptorCount() == descriptors;
}
