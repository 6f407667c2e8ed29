// The .reg file of twk extract --reg.
#include "twk/extract_registry.h"

#include <strings.h>

#include <deque>

#include "platform/sim/machine/sim_system.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/common/ordered_pool.h"
#include "twk/common/temporary_file.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/registry_export.h"

namespace {

enum MacroIndex {
  kProgramDir, kWinDir, kWinSysDir, kWinDrive, kShortcutDir, kStartUp, kStartMenu,
  kStartPrograms, kDesktop,
};

std::string Chosen(const FolderChoices& choices, size_t macro, const std::string& otherwise) {
  const auto found = choices.find(macro);
  return found == choices.end() ? otherwise : found->second;
}

// A data block checked on a worker as the installer checks it; the record is kept for
// the message when it is damaged.
struct CheckedBlock {
  BlockVerdict verdict = BlockVerdict::kOk;
  BlockRecord record;
};

// Checks every data block on the pool's workers and reports a damaged one as twk extract
// does: the installer fails that file and then writes no registry entry at all.
class DataBlockCheck {
 public:
  DataBlockCheck(InstallerReader& reader, std::ostream& err)
      : reader_(reader), err_(err), pool_(DefaultJobs()) {}

  void Submit(const FileEntry& entry, int number, BlockRecord record) {
    labels_.push_back(reader_.BlockLabel(entry, number, record));
    pool_.Submit([record = std::move(record)]() mutable {
      CheckedBlock block;
      std::vector<uint8_t> expanded;
      block.verdict = ExpandBlockRecord(record, kFileBlockCapacity, &expanded);
      if (block.verdict != BlockVerdict::kOk) block.record = std::move(record);
      return block;
    });
    while (pool_.pending() > pool_.window()) TakeOldest();
  }
  // The number of damaged blocks, once every block is checked.
  int Finish() {
    while (pool_.pending() != 0) TakeOldest();
    return damaged_;
  }

 private:
  void TakeOldest() {
    const CheckedBlock block = pool_.TakeOldest();
    if (block.verdict != BlockVerdict::kOk) {
      err_ << MessageLine(labels_.front() + " is damaged: " +
                          DescribeBlockVerdict(block.verdict, block.record));
      ++damaged_;
    }
    labels_.pop_front();
  }

  InstallerReader& reader_;
  std::ostream& err_;
  OrderedPool<CheckedBlock> pool_;
  std::deque<std::string> labels_;
  int damaged_ = 0;
};

// The registry list, once every file entry is read with its blocks checked, and the
// directory checksum, which covers the list, is found right.
std::vector<std::string> ReadRegistryList(InstallerReader& reader, InstallerHeader* header,
                                          std::ostream& err) {
  std::string problem;
  if (!reader.DecodeHeader(reader.ReadHeaderRecord(), header, &problem)) {
    throw ReadError(ReadFailure::kDamaged, problem);
  }
  DataBlockCheck blocks(reader, err);
  FileEntry entry;
  BlockRecord record;
  while (reader.NextFileEntry(&entry)) {
    for (int number = 1; reader.NextBlock(entry, number, &record); ++number) {
      blocks.Submit(entry, number, std::move(record));
    }
  }
  const int damaged = blocks.Finish();
  problem = reader.FileListProblem(*header);
  reader.ReadShortcutList();
  const std::vector<std::string> lines = reader.ReadRegistryList().lines;
  reader.ReadRunAfter();
  if (problem.empty()) problem = reader.DirectoryProblem(*header);
  if (problem.empty() && damaged != 0) {
    problem = reader.path() + ": " + std::to_string(damaged) +
              (damaged == 1 ? " data block is" : " data blocks are") +
              " damaged: the installer would fail that file and write no registry entry";
  }
  if (!problem.empty()) throw ReadError(ReadFailure::kDamaged, problem);
  return lines;
}

}  // namespace

bool ParseFolderChoice(const std::string& text, FolderChoices* choices, std::string* problem) {
  const size_t equals = text.find('=');
  std::string name = text.substr(0, equals);
  if (name.size() > 2 && name.front() == '{' && name.back() == '}') name = name.substr(1, name.size() - 2);
  for (size_t i = 0; equals != std::string::npos && i < 9; ++i) {
    if (strcasecmp(name.c_str(), MacroName(kMacroTokens[i]).c_str()) == 0) {
      (*choices)[i] = text.substr(equals + 1);
      return true;
    }
  }
  *problem = "--folder takes MACRO=PATH, MACRO being a path macro such as OurProgramDir or "
             "WinDir, not '" + text + "'";
  return false;
}

void ChooseFolders(const FolderChoices& choices, const std::string& programFolder,
                   const std::string& startMenuFolder, MacroValues* folders) {
  const sim::SimSystem machine;
  MacroValues& f = *folders;
  f[kWinDir] = Chosen(choices, kWinDir, machine.windowsFolder);
  f[kWinSysDir] = Chosen(choices, kWinSysDir, f[kWinDir] + "\\SYSTEM32");
  f[kWinDrive] = Chosen(choices, kWinDrive, f[kWinDir].substr(0, 1));
  f[kStartUp] = Chosen(choices, kStartUp, machine.shellFolders.at(7));
  f[kStartMenu] = Chosen(choices, kStartMenu, machine.shellFolders.at(11));
  f[kStartPrograms] = Chosen(choices, kStartPrograms, machine.shellFolders.at(2));
  f[kDesktop] = Chosen(choices, kDesktop, machine.shellFolders.at(0));
  const bool fixed = programFolder.size() >= 2 && programFolder[1] == ':';
  const std::string proposed = programFolder.empty() || fixed
                                   ? programFolder
                                   : f[kWinDrive] + ":\\Program Files\\" + programFolder;
  f[kProgramDir] = Chosen(choices, kProgramDir, proposed);
  f[kShortcutDir] = Chosen(choices, kShortcutDir, f[kStartPrograms] + "\\" + startMenuFolder);
}

int ExportRegistryFile(const std::string& installer, const std::string& regFile,
                       const FolderChoices& choices, std::ostream& out, std::ostream& err) {
  try {
    InstallerReader reader(installer);
    reader.RequireInstallMode();
    InstallerHeader header;
    const std::vector<std::string> lines = ReadRegistryList(reader, &header, err);
    MacroValues folders;
    ChooseFolders(choices, header.programFolder, header.startMenuFolder, &folders);
    WriteFileReplacing(regFile, RegistryExport(lines, folders, installer));
    out << regFile << ": " << lines.size() << (lines.size() == 1 ? " registry line\n" : " registry lines\n");
  } catch (const ReadError& error) {
    err << MessageLine(error.what());
    return error.exitCode();
  } catch (const std::runtime_error& failure) {
    err << MessageLine(failure.what());
    return kExitOutputError;
  }
  return kExitOk;
}
