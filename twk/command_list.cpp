// twk list: shows what an installation file holds, in package order, as text or JSON.
#include <cstdio>
#include <iostream>

#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/common/message_table.h"
#include "twk/installer_listing.h"
#include "twk/listing_json.h"
#include "twk/registry_value_text.h"
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

const char* KnowledgeText(Knowledge knowledge) {
  return knowledge == Knowledge::kYes ? "yes" : knowledge == Knowledge::kNo ? "no" : "?";
}

void PrintFiles(const InstallerListing& listing, std::ostream& out) {
  out << "\nFiles:\n      SIZE  BLOCKS  VERSION          TIME (UTC)           SHARED  SELFREG  "
         "TARGET\n";
  for (const ListedFile& file : listing.files) {
    const FileEntry& entry = file.entry;
    char line[160];
    std::snprintf(line, sizeof line, "%10s  %6d  %-15s  %s  %-6s  %-7s  ",
                  file.sizeKnown ? std::to_string(file.size).c_str() : "?", file.blocks,
                  FormatVersion(entry.fields.version).c_str(),
                  FormatFileTime(entry.fileTime()).c_str(), entry.fields.shared ? "yes" : "no",
                  KnowledgeText(file.selfRegisters));
    out << line << EscapeText(entry.name) << "\n";
    if (file.blocks != entry.fields.blockCount) {
      out << "          (the entry announces " << entry.fields.blockCount << " blocks)\n";
    }
  }
  if (listing.filesComplete) {
    out << "  " << listing.files.size() << (listing.files.size() == 1 ? " file\n" : " files\n");
  }
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

void PrintRegistry(const std::vector<std::string>& lines, std::ostream& out) {
  out << "\nRegistry lines: " << lines.size() << "\n";
  for (const std::string& text : lines) {
    const RegistryLine line = DecodeRegistryLine(text);
    switch (line.kind) {
      case RegistryLineKind::kKey:
        out << "  key " << EscapeText(line.root + "\\" + line.subkey) << "\n";
        break;
      case RegistryLineKind::kUnknownKey:
        out << "  ignored key line (unknown root): " << Quoted(text) << "\n";
        break;
      case RegistryLineKind::kValue:
        out << "    " << DescribeRegistryValue(line) << "\n";
        break;
      case RegistryLineKind::kOther:
        out << "    other line (logged only): " << Quoted(text) << "\n";
        break;
    }
  }
}

// Only for an installer with texts of its own: one in English lists as it always has.
void PrintTexts(const InstallerTexts& texts, std::ostream& out) {
  std::string replaced;
  for (size_t id = 0; id < texts.overridden.size(); ++id) {
    if (texts.overridden[id]) replaced += (replaced.empty() ? "" : ", ") + std::string(MessageAt(id).name);
  }
  out << "Language:          " << (texts.language.empty() ? "English" : texts.language) << "\n"
      << "Texts replaced:    " << (replaced.empty() ? "(none)" : replaced) << "\n";
}

void PrintListing(const InstallerListing& listing, std::ostream& out) {
  if (!listing.opened) return;
  out << "Installer:         " << listing.path << " (package offset " << listing.packageOffset
      << ")\n";
  if (listing.haveHeader) PrintHeader(listing.header, out);
  if (listing.texts.present) PrintTexts(listing.texts, out);
  PrintFiles(listing, out);
  if (!listing.haveLists) return;
  PrintShortcuts(listing.shortcuts, out);
  PrintRegistry(listing.registry, out);
  out << "\nRun after: " << (listing.runAfter.empty() ? "(none)" : Quoted(listing.runAfter)) << "\n";
  out << "\nPackage: " << listing.volumes.size()
      << (listing.volumes.size() == 1 ? " volume" : " volumes") << ", ends in " << listing.end
      << "\n";
}

}  // namespace

int ListInstaller(const std::string& path, std::ostream& out, std::ostream& err,
                  ReportFormat format) {
  const InstallerListing listing = ReadInstallerListing(path);
  if (format == ReportFormat::kJson) {
    out << ListingAsJson(listing);
  } else {
    PrintListing(listing, out);
  }
  for (const std::string& problem : listing.problems) err << MessageLine(problem);
  return listing.exitCode;
}

int RunListCommand(const Arguments& args) {
  ReportFormat format = ReportFormat::kText;
  std::string installer;
  if (!ParseReportArguments(args, &installer, &format)) {
    std::cerr << "twk: " << CommandSynopsis("list") << "\n";
    return kExitUsage;
  }
  return ListInstaller(installer, std::cout, std::cerr, format);
}
