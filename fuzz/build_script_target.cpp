// Arbitrary build scripts through the parser and the checks of `twk build`, and what a
// script that passes them turns into read back as the installer reads it.
#include <strings.h>

#include <string>

#include "fuzz/fuzz_targets.h"
#include "package/format.h"
#include "package/header_block.h"
#include "twk/build/build_header.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/reader/reader_lines.h"
#include "twk/script/build_lines.h"
#include "twk/script/script_checks.h"
#include "twk/script/script_diagnostics.h"
#include "twk/script/script_parser.h"

namespace {

constexpr char kScriptName[] = "fuzz.twk";

// A record of the package's lists: not empty (that would end the list) and short enough
// for its length byte.
bool FitsRecord(const std::string& line) {
  return !line.empty() && line.size() <= kMaxStringRecord;
}

// The file targets as the build checks them once the sources are known. A folder target
// of a plain source gets the source's file name; a wildcard's names are not known here.
void CheckTargets(const SetupScript& script, ScriptDiagnostics* diagnostics) {
  for (const FileItem& file : script.files) {
    if (file.target.empty()) continue;  // CheckScript has refused it
    std::string target = file.target;
    if (target.back() == '\\') {
      if (IsWildcard(file.source)) continue;
      target += file.source.substr(file.source.rfind('/') + 1);
    }
    diagnostics->Record(file.line, [&] { CheckFileTarget(script, file.line, target, file.shared); });
  }
}

// Whether the script reads other files: the fuzzer would then depend on what the machine
// holds. The tests of the parser cover !include.
bool Includes(const std::string& text) {
  for (size_t at = text.find('!'); at != std::string::npos; at = text.find('!', at + 1)) {
    if (strncasecmp(text.c_str() + at, "!include", 8) == 0) return true;
  }
  return false;
}

bool ShortcutsReadBack(const SetupScript& script) {
  for (const ShortcutItem& shortcut : script.shortcuts) {
    const std::string line = EncodeShortcutLine(shortcut);
    if (!FitsRecord(line) || line.find(kShortcutSeparator) == std::string::npos) return false;
    const ShortcutLine read = SplitShortcutLine(line);
    if (read.link != shortcut.link || read.target != shortcut.target ||
        read.arguments != shortcut.arguments || read.workingFolder != shortcut.startIn) {
      return false;
    }
  }
  return true;
}

bool ValueReadsBack(const RegistryValueItem& value) {
  const std::string line = EncodeRegistryValueLine(value);
  const RegistryLine read = DecodeRegistryLine(line);
  if (!FitsRecord(line) || read.kind != RegistryLineKind::kValue || read.name != value.name ||
      !read.problem.empty()) {
    return false;
  }
  switch (value.kind) {
    case RegistryKind::kString:
      return read.type == kRegistryTypeText && read.text == value.text;
    case RegistryKind::kDword:
      return read.type == kRegistryTypeNumber && read.number == value.number;
    case RegistryKind::kBinary:
      return read.type == kRegistryTypeBinary && read.binary == value.bytes;
    case RegistryKind::kRemove:
      return read.type == kRegistryTypeRemoveOnly;
  }
  return false;
}

bool RegistryReadsBack(const SetupScript& script) {
  for (const RegistryKeyItem& key : script.registry) {
    const std::string line = EncodeRegistryKeyLine(key);
    const RegistryLine read = DecodeRegistryLine(line);
    if (!FitsRecord(line) || read.kind != RegistryLineKind::kKey || read.root != key.root ||
        read.subkey != key.subkey) {
      return false;
    }
    for (const RegistryValueItem& value : key.values) {
      if (!ValueReadsBack(value)) return false;
    }
  }
  return true;
}

bool SameText(const TextSpan& span, const std::string& text) {
  return std::string(span.text, span.length) == text;
}

bool HeaderReadsBack(const SetupScript& script) {
  const HeaderContent content = HeaderOf(script, "");
  const std::vector<uint8_t> block = BuildExpandedHeader(content);
  HeaderFields fields;
  return ParseHeaderBlock(block.data(), block.size(), &fields) && !fields.hasLicence &&
         SameText(fields.texts[kHeaderTitle], content.title) &&
         SameText(fields.texts[kHeaderBottomText], content.bottomText) &&
         SameText(fields.texts[kHeaderProductKey], content.productKey) &&
         SameText(fields.texts[kHeaderProgramFolder], content.programFolder) &&
         SameText(fields.texts[kHeaderStartMenuFolder], content.startMenuFolder);
}

}  // namespace

bool FuzzBuildScript(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (Includes(text)) return true;
  ScriptDefines defines;
  ScriptDiagnostics diagnostics;
  const SetupScript script = ParseScript(text, kScriptName, ".", &defines, &diagnostics);
  CheckScript(script, &diagnostics);
  CheckTargets(script, &diagnostics);
  try {
    diagnostics.ThrowIfErrors();
  } catch (const ScriptErrors& errors) {
    // Lines that each name the script and a line, and the script error's exit code.
    if (errors.exitCode() != kExitScriptError) return false;
    for (const std::string& message : errors.messages()) {
      if (message.find('\n') != std::string::npos) return false;
      if (message.rfind(std::string(kScriptName) + ":", 0) != 0 &&
          message.find(" more errors are not shown") == std::string::npos) {
        return false;
      }
    }
    return true;
  }
  return ShortcutsReadBack(script) && RegistryReadsBack(script) && HeaderReadsBack(script);
}
