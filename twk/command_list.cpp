// twk list: shows what an installation file holds, in package order.
#include <cstdio>
#include <iostream>

#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_lines.h"
#include "twk/reader/reader_text.h"
#include "twk/reader_commands.h"

namespace {

const char* const kSizeTableLabels[kSizeTableWords] = {
    "512-byte units", "1 KiB units",  "2 KiB units",  "4 KiB units",
    "8 KiB units",    "16 KiB units", "32 KiB units", "data blocks",
};

std::string Quoted(const std::string& text) { return "\"" + EscapeText(text) + "\""; }

void PrintHeader(const InstallerHeader& header, std::ostream& out) {
  out << "Title:             " << Quoted(header.title) << "\n"
      << "Bottom text:       " << Quoted(header.bottomText) << "\n"
      << "Product key:       " << Quoted(header.productKey) << "\n"
      << "Program folder:    " << Quoted(header.programFolder) << "\n"
      << "Start-menu folder: " << Quoted(header.startMenuFolder) << "\n"
      << "Licence:           "
      << (header.hasLicence ? std::to_string(header.licence.size()) + " bytes" : "none")
      << "\n\nSize table:\n";
  for (size_t i = 0; i < kSizeTableWords; ++i) {
    char line[80];
    std::snprintf(line, sizeof line, "  word %zu  %-15s %10u\n", i, kSizeTableLabels[i],
                  header.sizeTable[i]);
    out << line;
  }
}

// Expands every block of the entry to learn its size; "?" when a block is damaged.
std::string FileSize(InstallerReader& reader, const FileEntry& entry, int* blocks,
                     std::ostream& err, bool* damaged) {
  uint64_t size = 0;
  bool known = true;
  BlockRecord record;
  std::vector<uint8_t> expanded;
  for (*blocks = 0; reader.NextBlock(entry, *blocks + 1, &record); ++*blocks) {
    if (!known) continue;
    const BlockVerdict verdict = ExpandBlockRecord(record, kFileBlockCapacity, &expanded);
    if (verdict != BlockVerdict::kOk) {
      err << "twk: " << reader.stream().Describe(record.where) << ": block " << *blocks + 1
          << " of " << entry.Label() << " is damaged: "
          << DescribeBlockVerdict(verdict, record) << "\n";
      known = false;
      *damaged = true;
    }
    size += expanded.size();
  }
  return known ? std::to_string(size) : "?";
}

void PrintFiles(InstallerReader& reader, std::ostream& out, std::ostream& err, bool* damaged) {
  out << "\nFiles:\n      SIZE  BLOCKS  VERSION          TIME (UTC)           SHARED  TARGET\n";
  FileEntry entry;
  int count = 0;
  while (reader.NextFileEntry(&entry)) {
    ++count;
    int blocks = 0;
    const std::string size = FileSize(reader, entry, &blocks, err, damaged);
    char line[160];
    std::snprintf(line, sizeof line, "%10s  %6d  %-15s  %s  %-6s  ", size.c_str(), blocks,
                  FormatVersion(entry.fields.version).c_str(),
                  FormatFileTime(entry.fileTime()).c_str(), entry.fields.shared ? "yes" : "no");
    out << line << EscapeText(entry.name) << "\n";
    if (blocks != entry.fields.blockCount) {
      out << "          (the entry announces " << entry.fields.blockCount << " blocks)\n";
    }
  }
  out << "  " << count << (count == 1 ? " file\n" : " files\n");
}

void PrintShortcuts(const RecordList& list, std::ostream& out) {
  out << "\nShortcuts: " << list.lines.size() << "\n";
  for (const std::string& line : list.lines) {
    const ShortcutLine split = SplitShortcutLine(line);
    out << "  " << EscapeText(split.link) << "\n"
        << "      target:         " << EscapeText(split.target) << "\n"
        << "      arguments:      " << EscapeText(split.arguments) << "\n"
        << "      working folder: " << EscapeText(split.workingFolder) << "\n";
  }
  if (!list.endedByEmpty) {
    out << "  (ended by a line without '=', which the installer takes as the list's end: "
        << Quoted(list.ender) << ")\n";
  }
}

std::string DescribeValue(const RegistryLine& line) {
  std::string name = line.name == kRegistryDefaultValueName ? "@ (default)" : Quoted(line.name);
  std::string value;
  switch (line.type) {
    case kRegistryTypeNumber:
      value = "D " + (line.problem.empty() ? std::to_string(line.number) : std::string());
      break;
    case kRegistryTypeBinary:
      value = "B " + std::to_string(line.binaryLength) + " bytes: " +
              FormatHexBytes(line.binary.data(), line.binary.size());
      break;
    case kRegistryTypeRemoveOnly:
      value = "N (not written; removed by the uninstaller)";
      break;
    case kRegistryTypeText:
      value = "S " + Quoted(line.text);
      break;
    default:
      value = std::string(line.type == 0 ? "no type letter" : "type letter " +
                                                                  EscapeText(std::string(1, line.type))) +
              ", written as S " + Quoted(line.text);
  }
  if (!line.problem.empty()) value += " [" + line.problem + "]";
  return name + " = " + value;
}

void PrintRegistry(const RecordList& list, std::ostream& out) {
  out << "\nRegistry lines: " << list.lines.size() << "\n";
  for (const std::string& text : list.lines) {
    const RegistryLine line = DecodeRegistryLine(text);
    switch (line.kind) {
      case RegistryLineKind::kKey:
        out << "  key " << EscapeText(line.root + "\\" + line.subkey) << "\n";
        break;
      case RegistryLineKind::kUnknownKey:
        out << "  ignored key line (unknown root): " << Quoted(text) << "\n";
        break;
      case RegistryLineKind::kValue:
        out << "    " << DescribeValue(line) << "\n";
        break;
      case RegistryLineKind::kOther:
        out << "    other line (logged only): " << Quoted(text) << "\n";
        break;
    }
  }
}

void PrintEnd(InstallerReader& reader, std::ostream& out) {
  const VolumeStream& stream = reader.stream();
  out << "\nPackage: " << stream.volumesOpened()
      << (stream.volumesOpened() == 1 ? " volume" : " volumes") << ", ends in "
      << stream.DescribeHere() << "\n";
}

}  // namespace

int ListInstaller(const std::string& path, std::ostream& out, std::ostream& err) {
  bool damaged = false;
  try {
    InstallerReader reader(path);
    reader.RequireInstallMode();
    out << "Installer:         " << path << " (package offset "
        << reader.stream().location().packageOffset << ")\n";
    InstallerHeader header;
    std::string problem;
    if (reader.DecodeHeader(reader.ReadHeaderRecord(), &header, &problem)) {
      PrintHeader(header, out);
    } else {
      err << "twk: " << problem << "\n";
      damaged = true;
    }
    PrintFiles(reader, out, err, &damaged);
    PrintShortcuts(reader.ReadShortcutList(), out);
    PrintRegistry(reader.ReadRegistryList(), out);
    const std::string runAfter = reader.ReadRunAfter();
    out << "\nRun after: " << (runAfter.empty() ? "(none)" : Quoted(runAfter)) << "\n";
    PrintEnd(reader, out);
    const std::string directory = reader.DirectoryProblem(header);
    if (!directory.empty()) {
      err << "twk: " << directory << "\n";
      damaged = true;
    }
  } catch (const ReadError& error) {
    err << "twk: " << error.what() << "\n";
    return error.exitCode();
  }
  return damaged ? kExitDamaged : kExitOk;
}

int RunListCommand(const Arguments& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::cerr << "twk: " << CommandSynopsis("list") << "\n";
    return kExitUsage;
  }
  return ListInstaller(args[0], std::cout, std::cerr);
}
