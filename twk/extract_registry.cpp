// The .reg file of twk extract --reg.
#include "twk/extract_registry.h"

#include <strings.h>

#include <cstdio>

#include "platform/sim/machine/sim_system.h"
#include "twk/common/exit_codes.h"
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

// The registry list, once every file entry is passed over and the directory checksum,
// which covers it, is found right.
std::vector<std::string> ReadRegistryList(InstallerReader& reader, InstallerHeader* header) {
  std::string problem;
  if (!reader.DecodeHeader(reader.ReadHeaderRecord(), header, &problem)) {
    throw ReadError(ReadFailure::kDamaged, problem);
  }
  FileEntry entry;
  BlockRecord record;
  while (reader.NextFileEntry(&entry)) {
    for (int number = 1; reader.NextBlock(entry, number, &record); ++number) {
    }
  }
  problem = reader.FileListProblem(*header);
  reader.ReadShortcutList();
  const std::vector<std::string> lines = reader.ReadRegistryList().lines;
  reader.ReadRunAfter();
  if (problem.empty()) problem = reader.DirectoryProblem(*header);
  if (!problem.empty()) throw ReadError(ReadFailure::kDamaged, problem);
  return lines;
}

void WriteReg(const std::string& path, const std::string& text) {
  std::string partial;
  host::Failure failure;
  FILE* file = CreateTemporaryBeside(path, &partial, &failure);
  if (file == nullptr) throw std::runtime_error(path + ": cannot be written");
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written || !host::RenameReplacing(partial, path, &failure)) {
    host::RemoveFile(partial);
    throw std::runtime_error(path + ": cannot be written");
  }
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
    const std::vector<std::string> lines = ReadRegistryList(reader, &header);
    MacroValues folders;
    ChooseFolders(choices, header.programFolder, header.startMenuFolder, &folders);
    WriteReg(regFile, RegistryExport(lines, folders, installer));
    out << regFile << ": " << lines.size() << (lines.size() == 1 ? " registry line\n" : " registry lines\n");
  } catch (const ReadError& error) {
    err << "twk: " << error.what() << "\n";
    return error.exitCode();
  } catch (const std::runtime_error& failure) {
    err << "twk: " << failure.what() << "\n";
    return kExitOutputError;
  }
  return kExitOk;
}
