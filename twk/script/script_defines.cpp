// Defining names and replacing ${NAME} in script values.
#include "twk/script/script_defines.h"

#include <cctype>

#include "twk/common/build_error.h"

namespace {

bool IsNameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsNamePart(char c) {
  return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

}  // namespace

bool ScriptDefines::IsName(const std::string& name) {
  if (name.empty() || !IsNameStart(name[0])) return false;
  for (char c : name) {
    if (!IsNamePart(c)) return false;
  }
  return true;
}

void ScriptDefines::SetFromCommandLine(const std::string& name, const std::string& value) {
  names_[name] = Definition{value, 0, std::string()};
}

bool ScriptDefines::FromCommandLine(const std::string& name) const {
  const auto known = names_.find(name);
  return known != names_.end() && known->second.line == 0;
}

void ScriptDefines::Define(const std::string& name, const std::string& value,
                           const ScriptLine& at) {
  if (!IsName(name)) {
    ThrowScriptError(at.script, at.number,
                     "'" + name + "' is no name to define (a letter or '_', then letters, "
                     "digits and '_')");
  }
  const auto known = names_.find(name);
  if (known == names_.end()) {
    names_[name] = Definition{value, at.number, at.script};
    return;
  }
  if (known->second.line == 0) return;  // the command line's value wins
  const Definition& first = known->second;
  ThrowScriptError(at.script, at.number,
                   name + " is defined twice (first " +
                       (first.file == at.script ? "on line " + std::to_string(first.line)
                                                : "at " + first.file + ":" +
                                                      std::to_string(first.line)) +
                       ")");
}

std::string ScriptDefines::Expand(const std::string& text, const ScriptLine& at) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 3, "$${") == 0) {
      result += "${";
      i += 3;
      continue;
    }
    if (text.compare(i, 2, "${") != 0) {
      result += text[i++];
      continue;
    }
    const size_t close = text.find('}', i + 2);
    const std::string name = close == std::string::npos ? std::string()
                                                         : text.substr(i + 2, close - i - 2);
    if (!IsName(name)) {
      ThrowScriptError(at.script, at.number,
                       "'${' is not followed by a name and '}' (write $${ for a '${' of "
                       "its own)");
    }
    const auto found = names_.find(name);
    if (found == names_.end()) {
      ThrowScriptError(at.script, at.number,
                       "${" + name + "} is not defined (!define " + name +
                           " VALUE in the script, or twk build -D " + name + "=VALUE)");
    }
    const std::string& value = found->second.value;
    if (value.size() > kMaxExpandedBytes - expandedBytes_) {
      ThrowScriptError(at.script, at.number,
                       "${" + name + "} takes what names put into the script past 64 MiB");
    }
    expandedBytes_ += value.size();
    result += value;
    i = close + 1;
  }
  return result;
}
