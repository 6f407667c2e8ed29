// A registry list's value line as twk list and twk diff print it.
#include "twk/registry_value_text.h"

#include "package/format.h"
#include "twk/reader/reader_text.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + EscapeText(text) + "\""; }

}  // namespace

std::string DescribeRegistryValue(const RegistryLine& line) {
  std::string name = line.name == kRegistryDefaultValueName ? "@ (default)" : Quoted(line.name);
  std::string value;
  switch (line.type) {
    case kRegistryTypeNumber:
      value = "D " + (line.problem.empty()
                          ? std::to_string(line.number) + " (" + FormatHex32(line.number) + ")"
                          : std::string());
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
