// twk diff: what differs between two installers, as text or JSON. Both are read at once,
// each on a thread of its own with its share of the block expanders.
#include <algorithm>
#include <future>
#include <iostream>
#include <system_error>

#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/common/ordered_pool.h"
#include "twk/diff_json.h"
#include "twk/installer_diff.h"
#include "twk/reader/reader_lines.h"
#include "twk/reader/reader_text.h"
#include "twk/reader_commands.h"
#include "twk/registry_value_text.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + EscapeText(text) + "\""; }

const char* TextLabel(const std::string& field) {
  if (field == "title") return "title";
  if (field == "bottomText") return "bottom text";
  if (field == "productKey") return "product key";
  if (field == "programFolder") return "program folder";
  if (field == "startMenuFolder") return "start-menu folder";
  if (field == "runAfter") return "run after";
  if (field == "language" || field.rfind("message ", 0) == 0) return field.c_str();
  return "licence";
}

void PrintText(const TextDifference& text, std::ostream& out) {
  out << TextLabel(text.field) << ": ";
  if (text.field != "licence") {
    out << Quoted(text.oldText) << " -> " << Quoted(text.newText) << "\n";
    return;
  }
  const auto length = [](bool has, const std::string& licence) {
    return has ? std::to_string(licence.size()) + " bytes" : std::string("none");
  };
  out << length(text.hadOld, text.oldText) << " -> " << length(text.hasNew, text.newText)
      << (text.hadOld && text.hasNew ? ", the text changed" : "") << "\n";
}

std::string SizeText(const DigestedFile& file) {
  return file.contentKnown ? std::to_string(file.size) + " bytes" : "? bytes";
}

std::string Describe(const DigestedFile& file) {
  return SizeText(file) + ", version " + FormatVersion(file.entry.fields.version) + ", " +
         FormatFileTime(file.entry.fileTime()) + (file.entry.fields.shared ? ", shared" : "") +
         (file.selfRegisters == Knowledge::kYes ? ", self-registering" : "");
}

std::string FieldChange(const std::string& field, const DigestedFile& o, const DigestedFile& n) {
  if (field == "target") {
    return "target " + EscapeText(o.entry.name) + " -> " + EscapeText(n.entry.name);
  }
  if (field == "content") return "content";
  if (field == "size") return "size " + SizeText(o) + " -> " + SizeText(n);
  if (field == "version") {
    return "version " + FormatVersion(o.entry.fields.version) + " -> " +
           FormatVersion(n.entry.fields.version);
  }
  if (field == "time") {
    return "time " + FormatFileTime(o.entry.fileTime()) + " -> " +
           FormatFileTime(n.entry.fileTime());
  }
  const auto knowledge = [](Knowledge k) {
    return k == Knowledge::kYes ? "yes" : k == Knowledge::kNo ? "no" : "?";
  };
  if (field == "shared") {
    return std::string("shared ") + (o.entry.fields.shared ? "yes -> no" : "no -> yes");
  }
  return std::string("self-registering ") + knowledge(o.selfRegisters) + " -> " +
         knowledge(n.selfRegisters);
}

void PrintFile(const FileDifference& file, std::ostream& out) {
  switch (file.change) {
    case Change::kAdded:
      out << "  + " << EscapeText(file.newFile->entry.name) << " (" << Describe(*file.newFile)
          << ")\n";
      return;
    case Change::kRemoved:
      out << "  - " << EscapeText(file.oldFile->entry.name) << " (" << Describe(*file.oldFile)
          << ")\n";
      return;
    case Change::kChanged:
      out << "  ~ " << EscapeText(file.newFile->entry.name) << ":";
      for (size_t i = 0; i < file.fields.size(); ++i) {
        out << (i == 0 ? " " : ", ") << FieldChange(file.fields[i], *file.oldFile, *file.newFile);
      }
      out << "\n";
  }
}

std::string DescribeShortcut(const ShortcutLine& shortcut) {
  std::string text = EscapeText(shortcut.link) + " -> " + EscapeText(shortcut.target);
  if (!shortcut.arguments.empty()) text += ", arguments " + EscapeText(shortcut.arguments);
  if (!shortcut.workingFolder.empty()) text += ", in " + EscapeText(shortcut.workingFolder);
  return text;
}

std::string ShortcutFieldChange(const char* name, const std::string& oldText,
                                const std::string& newText) {
  if (oldText == newText) return std::string();
  return std::string(", ") + name + " " + (oldText.empty() ? "(none)" : EscapeText(oldText)) +
         " -> " + (newText.empty() ? "(none)" : EscapeText(newText));
}

void PrintShortcut(const LineDifference& line, std::ostream& out) {
  if (line.change == Change::kAdded) {
    out << "  + " << DescribeShortcut(SplitShortcutLine(line.newLine)) << "\n";
    return;
  }
  const ShortcutLine o = SplitShortcutLine(line.oldLine);
  if (line.change == Change::kRemoved) {
    out << "  - " << DescribeShortcut(o) << "\n";
    return;
  }
  const ShortcutLine n = SplitShortcutLine(line.newLine);
  const std::string changes =
      ShortcutFieldChange("link", o.link, n.link) +
      ShortcutFieldChange("target", o.target, n.target) +
      ShortcutFieldChange("arguments", o.arguments, n.arguments) +
      ShortcutFieldChange("working folder", o.workingFolder, n.workingFolder);
  out << "  ~ " << EscapeText(n.link) << ":" << changes.substr(1) << "\n";
}

std::string DescribeRegistryLine(const std::string& line) {
  const RegistryLine decoded = DecodeRegistryLine(line);
  switch (decoded.kind) {
    case RegistryLineKind::kKey:
      return "key " + EscapeText(decoded.root + "\\" + decoded.subkey);
    case RegistryLineKind::kValue:
      return DescribeRegistryValue(decoded);
    case RegistryLineKind::kUnknownKey:
      return "ignored key line (unknown root) " + Quoted(line);
    case RegistryLineKind::kOther:
      return "other line (logged only) " + Quoted(line);
  }
  return Quoted(line);
}

// A value of the same name shows its name once: '"Installs" = D 1 (...) -> D 2 (...)'.
std::string RegistryChange(const std::string& oldLine, const std::string& newLine) {
  const std::string o = DescribeRegistryLine(oldLine);
  const std::string n = DescribeRegistryLine(newLine);
  const size_t equals = o.find(" = ");
  if (equals != std::string::npos && n.compare(0, equals + 3, o, 0, equals + 3) == 0) {
    return o + " -> " + n.substr(equals + 3);
  }
  return o + " -> " + n;
}

// Each line with the key it stands in, but for a key line, which names its key itself.
void PrintRegistryLine(const LineDifference& line, std::ostream& out) {
  const std::string& some = line.change == Change::kRemoved ? line.oldLine : line.newLine;
  const bool keyLine = DecodeRegistryLine(some).kind == RegistryLineKind::kKey;
  out << "  " << (line.change == Change::kAdded ? '+' : line.change == Change::kRemoved ? '-' : '~')
      << " " << (keyLine ? std::string() : EscapeText(line.key) + ": ");
  switch (line.change) {
    case Change::kAdded:
      out << DescribeRegistryLine(line.newLine) << "\n";
      return;
    case Change::kRemoved:
      out << DescribeRegistryLine(line.oldLine) << "\n";
      return;
    case Change::kChanged:
      out << RegistryChange(line.oldLine, line.newLine) << "\n";
  }
}

std::string Count(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

void PrintDiff(const InstallerDigest& oldOne, const InstallerDigest& newOne,
               const InstallerDiff& diff, std::ostream& out) {
  if (diff.same()) {
    out << oldOne.path << " and " << newOne.path << " install the same\n";
    return;
  }
  out << "--- " << oldOne.path << "\n+++ " << newOne.path << "\n";
  for (const TextDifference& text : diff.texts) PrintText(text, out);
  if (!diff.files.empty()) out << "files:\n";
  for (const FileDifference& file : diff.files) PrintFile(file, out);
  if (!diff.shortcuts.empty()) out << "shortcuts:\n";
  for (const LineDifference& line : diff.shortcuts) PrintShortcut(line, out);
  if (!diff.registry.empty()) out << "registry:\n";
  for (const LineDifference& line : diff.registry) PrintRegistryLine(line, out);
  std::vector<std::string> counts;
  if (!diff.texts.empty()) counts.push_back(Count(diff.texts.size(), "text", "texts"));
  if (!diff.files.empty()) counts.push_back(Count(diff.files.size(), "file", "files"));
  if (!diff.shortcuts.empty()) {
    counts.push_back(Count(diff.shortcuts.size(), "shortcut", "shortcuts"));
  }
  if (!diff.registry.empty()) {
    counts.push_back(Count(diff.registry.size(), "registry line", "registry lines"));
  }
  for (size_t i = 0; i < counts.size(); ++i) {
    out << (i == 0 ? "" : i + 1 == counts.size() ? " and " : ", ") << counts[i];
  }
  out << (diff.texts.size() + diff.files.size() + diff.shortcuts.size() + diff.registry.size() == 1
              ? " differs\n"
              : " differ\n");
}

// The code of the first installer in trouble, the old one first: 3 for one that cannot be
// read as an installer at all, 7 for one that is damaged or incomplete.
int TroubleCode(const InstallerDigest& oldOne, const InstallerDigest& newOne) {
  const int code = oldOne.exitCode != kExitOk ? oldOne.exitCode : newOne.exitCode;
  return code == kExitInputError ? kExitInputError : kExitDiffDamaged;
}

// Both at once: each on a thread of its own, with half the expanders.
void ReadBoth(const std::string& oldPath, const std::string& newPath, unsigned jobs,
              InstallerDigest* oldOne, InstallerDigest* newOne) {
  const unsigned each = std::max(1u, (jobs == 0 ? DefaultJobs() : jobs) / 2);
  std::future<InstallerDigest> reading;
  try {
    reading = std::async(std::launch::async, ReadInstallerDigest, oldPath, each);
  } catch (const std::system_error&) {
    *oldOne = ReadInstallerDigest(oldPath, each);  // no thread to spare: one after the other
  }
  *newOne = ReadInstallerDigest(newPath, each);
  if (reading.valid()) *oldOne = reading.get();
}

}  // namespace

int DiffInstallers(const std::string& oldPath, const std::string& newPath, std::ostream& out,
                   std::ostream& err, ReportFormat format, unsigned jobs) {
  InstallerDigest oldOne;
  InstallerDigest newOne;
  ReadBoth(oldPath, newPath, jobs, &oldOne, &newOne);
  std::vector<std::string> problems = oldOne.problems;
  problems.insert(problems.end(), newOne.problems.begin(), newOne.problems.end());
  for (const std::string& problem : problems) err << MessageLine(problem);
  if (!problems.empty()) {
    const int code = TroubleCode(oldOne, newOne);
    if (format == ReportFormat::kJson) {
      out << DiffAsJson(oldOne, newOne, nullptr, problems, code);
    } else {
      err << MessageLine(oldPath + " and " + newPath +
                         " are not compared: an installer that cannot be read whole compares "
                         "with nothing");
    }
    return code;
  }
  const InstallerDiff diff = CompareInstallers(oldOne, newOne);
  const int code = diff.same() ? kExitOk : kExitDifferent;
  if (format == ReportFormat::kJson) {
    out << DiffAsJson(oldOne, newOne, &diff, problems, code);
  } else {
    PrintDiff(oldOne, newOne, diff, out);
  }
  return code;
}

int RunDiffCommand(const Arguments& args) {
  ReportFormat format = ReportFormat::kText;
  std::vector<std::string> paths;
  bool usageError = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      format = ReportFormat::kJson;
    } else if (!arg.empty() && arg[0] != '-' && paths.size() < 2) {
      paths.push_back(arg);
    } else {
      usageError = true;
    }
  }
  if (usageError || paths.size() != 2) {
    std::cerr << "twk: " << CommandSynopsis("diff") << "\n";
    return kExitUsage;
  }
  return DiffInstallers(paths[0], paths[1], std::cout, std::cerr, format);
}
