// Sections, comments and the [Setup] values of a build script.
#include "twk/build/script_parser.h"

#include <sstream>

#include "twk/build/build_error.h"
#include "twk/build/script_lexer.h"
#include "twk/build/script_lines.h"

namespace {

enum class Section { kNone, kSetup, kFiles, kShortcuts, kRegistry };

struct SectionName {
  const char* name;
  Section section;
};
const SectionName kSections[] = {
    {"Setup", Section::kSetup},
    {"Files", Section::kFiles},
    {"Shortcuts", Section::kShortcuts},
    {"Registry", Section::kRegistry},
};

Section ParseSectionHeader(const std::string& line, const ScriptLine& at) {
  const std::string name = TrimBlanks(line.substr(1, line.size() - 2));
  for (const SectionName& known : kSections) {
    if (EqualsIgnoringCase(name, known.name)) return known.section;
  }
  ThrowScriptError(at.script, at.number,
                   "unknown section [" + name + "] (expected Setup, Files, Shortcuts or Registry)");
}

// The bottom text's one escape: the two characters \n are its line break.
std::string WithLineBreaks(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      result += '\n';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

ScriptText* SetupItem(SetupScript* script, const std::string& key) {
  struct Item {
    const char* name;
    ScriptText SetupScript::*member;
  };
  static const Item kItems[] = {
      {"Title", &SetupScript::title},
      {"BottomText", &SetupScript::bottomText},
      {"ProductKey", &SetupScript::productKey},
      {"ProgramFolder", &SetupScript::programFolder},
      {"StartMenuFolder", &SetupScript::startMenuFolder},
      {"Licence", &SetupScript::licenceFile},
      {"License", &SetupScript::licenceFile},
      {"RunAfter", &SetupScript::runAfter},
      {"Publisher", &SetupScript::publisher},
      {"DisplayVersion", &SetupScript::displayVersion},
      {"DisplayIcon", &SetupScript::displayIcon},
      {"URLInfoAbout", &SetupScript::urlInfoAbout},
      {"HelpLink", &SetupScript::helpLink},
  };
  for (const Item& item : kItems) {
    if (EqualsIgnoringCase(key, item.name)) return &(script->*item.member);
  }
  return nullptr;
}

void ParseSetupLine(const std::string& line, const ScriptLine& at, SetupScript* script) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) {
    ThrowScriptError(at.script, at.number, "expected NAME = VALUE");
  }
  const std::string key = TrimBlanks(line.substr(0, equals));
  ScriptText* item = SetupItem(script, key);
  if (item == nullptr) {
    ThrowScriptError(at.script, at.number,
                     "unknown setup value '" + key +
                         "' (expected Title, BottomText, ProductKey, ProgramFolder, "
                         "StartMenuFolder, Licence, RunAfter, Publisher, DisplayVersion, "
                         "DisplayIcon, URLInfoAbout or HelpLink)");
  }
  if (item->line != 0) {
    ThrowScriptError(at.script, at.number,
                     key + " is set twice (first on line " + std::to_string(item->line) + ")");
  }
  item->value = ParseSetupValue(line.substr(equals + 1), at.script, at.number);
  item->line = at.number;
  if (item == &script->bottomText) item->value = WithLineBreaks(item->value);
}

void ParseLine(const std::string& line, Section section, const ScriptLine& at,
               SetupScript* script) {
  if (section == Section::kSetup) {
    ParseSetupLine(line, at, script);
    return;
  }
  const std::vector<ScriptField> fields = SplitScriptFields(line, at.script, at.number);
  switch (section) {
    case Section::kFiles:
      script->files.push_back(ParseFileLine(fields, at));
      break;
    case Section::kShortcuts:
      script->shortcuts.push_back(ParseShortcutLine(fields, at));
      break;
    case Section::kRegistry:
      ParseRegistryLine(fields, at, &script->registry);
      break;
    default:
      ThrowScriptError(at.script, at.number, "a line before the first [section]");
  }
}

}  // namespace

SetupScript ParseScript(const std::string& text, const std::string& name,
                        const std::string& folder) {
  SetupScript script;
  script.name = name;
  script.folder = folder;
  Section section = Section::kNone;
  std::istringstream lines(text);
  std::string raw;
  int number = 0;
  while (std::getline(lines, raw)) {
    ++number;
    const ScriptLine at{name, number};
    if (number == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.find('\0') != std::string::npos) {
      ThrowScriptError(name, number, "the line holds a NUL byte");
    }
    const std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = ParseSectionHeader(line, at);
      continue;
    }
    ParseLine(line, section, at, &script);
  }
  return script;
}

SetupScript LoadScript(const std::string& path) {
  std::string text;
  std::string problem;
  if (ReadInputFile(path, kMaxScriptSize, &text, &problem) != InputStatus::kOk) {
    ThrowInputError(path, "the script " + problem);
  }
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  return ParseScript(text, path, folder);
}
