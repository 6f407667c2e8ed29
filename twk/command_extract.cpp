// twk extract: writes every file of the package below one folder, and nowhere else.
#include <iostream>
#include <stdexcept>

#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_safe_writer.h"
#include "twk/reader/reader_target_path.h"
#include "twk/reader_commands.h"

namespace {

struct ExtractCounts {
  int written = 0;
  int refused = 0;  // unsafe targets and files that could not be written
  int damaged = 0;  // files with a damaged block, a damaged header or file list
};

std::string JoinComponents(const std::vector<std::string>& components) {
  std::string joined;
  for (const std::string& component : components) {
    joined += (joined.empty() ? "" : "/") + component;
  }
  return joined;
}

// Reads the entry's blocks and writes them to `file` while it is open. A damaged block
// discards the file (never left looking complete); the remaining blocks are still read
// so the stream stays in step.
void CopyBlocks(InstallerReader& reader, const FileEntry& entry,
                std::unique_ptr<PendingFile>* file, ExtractCounts* counts, std::ostream& err) {
  BlockRecord record;
  std::vector<uint8_t> expanded;
  for (int number = 1; reader.NextBlock(entry, number, &record); ++number) {
    if (!*file) continue;
    const BlockVerdict verdict = ExpandBlockRecord(record, kFileBlockCapacity, &expanded);
    if (verdict != BlockVerdict::kOk) {
      err << "twk: " << reader.stream().Describe(record.where) << ": block " << number << " of "
          << entry.Label() << " is damaged: " << DescribeBlockVerdict(verdict, record)
          << "; the file is not written\n";
      file->reset();
      ++counts->damaged;
      continue;
    }
    try {
      (*file)->Write(expanded.data(), expanded.size());
    } catch (const std::runtime_error& failure) {
      err << "twk: " << failure.what() << "\n";
      file->reset();
      ++counts->refused;
    }
  }
}

void ExtractEntry(InstallerReader& reader, OutputTree& tree, const FileEntry& entry,
                  ExtractCounts* counts, std::ostream& out, std::ostream& err) {
  const TargetPath target = MapTargetPath(entry.name);
  std::unique_ptr<PendingFile> file;
  if (!target.refusal.empty()) {
    err << "twk: " << reader.path() << ": " << entry.Label() << " is not extracted: "
        << target.refusal << "\n";
    ++counts->refused;
  } else {
    try {
      file = tree.Begin(target.components);
    } catch (const std::runtime_error& failure) {
      err << "twk: " << entry.Label() << " is not extracted: " << failure.what() << "\n";
      ++counts->refused;
    }
  }
  CopyBlocks(reader, entry, &file, counts, err);
  if (!file) return;
  try {
    if (!file->Commit(entry.fileTime())) {
      err << "twk: " << JoinComponents(target.components)
          << ": written, but its modification time could not be set\n";
    }
    out << JoinComponents(target.components) << "\n";
    ++counts->written;
  } catch (const std::runtime_error& failure) {
    err << "twk: " << failure.what() << "\n";
    ++counts->refused;
  }
}

}  // namespace

int ExtractInstaller(const std::string& path, const std::string& folder, std::ostream& out,
                     std::ostream& err) {
  ExtractCounts counts;
  try {
    InstallerReader reader(path);
    reader.RequireInstallMode();
    OutputTree tree(folder);
    InstallerHeader header;
    std::string problem;
    const bool haveHeader = reader.DecodeHeader(reader.ReadHeaderRecord(), &header, &problem);
    if (!haveHeader) {
      err << "twk: " << problem << "\n";
      ++counts.damaged;
    }
    FileEntry entry;
    while (reader.NextFileEntry(&entry)) {
      ExtractEntry(reader, tree, entry, &counts, out, err);
    }
    problem = haveHeader ? reader.FileListProblem(header) : std::string();
    // The names just used are checked only by the directory checksum, which takes the
    // lists after them too: a damaged name has extracted a file under another name.
    if (problem.empty() && haveHeader) {
      reader.ReadShortcutList();
      reader.ReadRegistryList();
      reader.ReadRunAfter();
      problem = reader.DirectoryProblem(header);
    }
    if (!problem.empty()) {
      err << "twk: " << problem << "\n";
      ++counts.damaged;
    }
  } catch (const ReadError& error) {
    err << "twk: " << error.what() << "\n";
    return error.exitCode();
  } catch (const std::runtime_error& failure) {
    err << "twk: " << failure.what() << "\n";
    return kExitOutputError;
  }
  if (counts.damaged != 0 || counts.refused != 0) {
    err << "twk: " << path << ": " << counts.written << " files extracted to " << folder << ", "
        << counts.refused << " refused or not written, " << counts.damaged << " damaged (files, header or file list)\n";
  }
  if (counts.damaged != 0) return kExitDamaged;
  return counts.refused != 0 ? kExitOutputError : kExitOk;
}

int RunExtractCommand(const Arguments& args) {
  std::string installer;
  std::string folder = ".";
  bool usageError = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-d" && i + 1 < args.size()) {
      folder = args[++i];
    } else if (installer.empty() && !args[i].empty() && args[i][0] != '-') {
      installer = args[i];
    } else {
      usageError = true;
    }
  }
  if (usageError || installer.empty() || folder.empty()) {
    std::cerr << "twk: " << CommandSynopsis("extract") << "\n";
    return kExitUsage;
  }
  return ExtractInstaller(installer, folder, std::cout, std::cerr);
}
