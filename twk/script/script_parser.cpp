// Sections, comments, directives and the [Setup] values of a build script.
#include "twk/script/script_parser.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "host/host_process.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/input_file.h"
#include "twk/common/message_table.h"
#include "twk/script/script_lexer.h"
#include "twk/script/script_lines.h"
#include "twk/script/script_messages.h"

namespace {

enum class Section { kNone, kUnknown, kSetup, kFiles, kShortcuts, kRegistry, kMessages };

constexpr int kMaxIncludes = 1000;

struct SectionName {
  const char* name;
  Section section;
};
const SectionName kSections[] = {
    {"Setup", Section::kSetup},
    {"Files", Section::kFiles},
    {"Shortcuts", Section::kShortcuts},
    {"Registry", Section::kRegistry},
    {"Messages", Section::kMessages},
};

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
      {"Language", &SetupScript::language},
  };
  for (const Item& item : kItems) {
    if (EqualsIgnoringCase(key, item.name)) return &(script->*item.member);
  }
  return nullptr;
}

// The directive a line begins with ("include", "define"), or "" for an ordinary line. Any
// other word after a '!' is an ordinary value: a file may be called "!readme.txt".
std::string DirectiveOf(const std::string& line) {
  if (line[0] != '!') return std::string();
  for (const char* word : {"include", "define"}) {
    const std::string name = word;
    const size_t end = 1 + name.size();
    if (line.size() < end || !EqualsIgnoringCase(line.substr(1, name.size()), name)) continue;
    if (line.size() == end || line[end] == ' ' || line[end] == '\t') return name;
  }
  return std::string();
}

// The same text for two paths of one file, so that a script cannot include itself
// through another name.
std::string Identity(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

std::string FolderOf(const std::string& path) {
  const size_t nameStart = host::NameStart(path);
  return nameStart == 0 ? "./" : path.substr(0, nameStart);
}

// Reads a script and the scripts it includes into one SetupScript, line by line.
class ScriptReader {
 public:
  ScriptReader(SetupScript* script, ScriptDefines* defines, ScriptDiagnostics* diagnostics)
      : script_(script), defines_(defines), diagnostics_(diagnostics) {
    reading_.push_back(Identity(script->name));
  }

  // `file` names the text in messages; its !include lines start from `folder`.
  void ReadText(const std::string& text, const std::string& file, const std::string& folder);

 private:
  void ReadLine(const std::string& line, const ScriptLine& at, const std::string& folder);
  void ReadSectionHeader(const std::string& line, const ScriptLine& at);
  void ReadSetupLine(const std::string& line, const ScriptLine& at);
  void ReadMessageLine(const std::string& line, const ScriptLine& at);
  void ReadListLine(const std::string& line, const ScriptLine& at);
  void ReadRegistryLine(const std::vector<ScriptField>& fields, const ScriptLine& at);
  void ReadDefine(const std::string& rest, const ScriptLine& at);
  void ReadInclude(const std::string& rest, const ScriptLine& at, const std::string& folder);
  void Span(const std::string& file, int firstLine) {
    script_->spans.push_back({rank_ + 1, file, firstLine});
  }

  SetupScript* script_;
  ScriptDefines* defines_;
  ScriptDiagnostics* diagnostics_;
  Section section_ = Section::kNone;
  // After a key line that could not be read, its value lines are checked but dropped:
  // they would otherwise land in the key before it or be refused one by one.
  bool keyRefused_ = false;
  int rank_ = 0;
  std::vector<std::string> reading_;  // the scripts being read, outermost first
  uint64_t bytesRead_ = 0;
  int includes_ = 0;
};

void ScriptReader::ReadText(const std::string& text, const std::string& file,
                            const std::string& folder) {
  bytesRead_ += text.size();
  Span(file, 1);
  std::istringstream lines(text);
  std::string raw;
  for (int number = 1; std::getline(lines, raw); ++number) {
    const ScriptLine at{file, number, ++rank_};
    if (number == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    diagnostics_->Record(at.rank, [&] {
      if (raw.find('\0') != std::string::npos) {
        ThrowScriptError(file, number, "the line holds a NUL byte");
      }
      const std::string line = TrimBlanks(raw);
      if (!line.empty() && line[0] != ';' && line[0] != '#') ReadLine(line, at, folder);
    });
    if (script_->spans.back().firstRank > at.rank) Span(file, number + 1);  // after an include
  }
}

void ScriptReader::ReadLine(const std::string& line, const ScriptLine& at,
                            const std::string& folder) {
  const std::string directive = DirectiveOf(line);
  if (directive == "include") {
    ReadInclude(line.substr(8), at, folder);
  } else if (directive == "define") {
    ReadDefine(line.substr(7), at);
  } else if (line[0] == '[' && line.back() == ']') {
    ReadSectionHeader(line, at);
  } else if (section_ == Section::kSetup) {
    ReadSetupLine(line, at);
  } else if (section_ == Section::kMessages) {
    ReadMessageLine(line, at);
  } else if (section_ == Section::kNone) {
    ThrowScriptError(at.script, at.number, "a line before the first [section]");
  } else if (section_ != Section::kUnknown) {  // an unknown section's header was refused
    ReadListLine(line, at);
  }
}

void ScriptReader::ReadSectionHeader(const std::string& line, const ScriptLine& at) {
  const std::string name = TrimBlanks(line.substr(1, line.size() - 2));
  for (const SectionName& known : kSections) {
    if (EqualsIgnoringCase(name, known.name)) {
      section_ = known.section;
      return;
    }
  }
  section_ = Section::kUnknown;
  ThrowScriptError(at.script, at.number,
                   "unknown section [" + name +
                       "] (expected Setup, Files, Shortcuts, Registry or Messages)");
}

void ScriptReader::ReadSetupLine(const std::string& line, const ScriptLine& at) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) {
    ThrowScriptError(at.script, at.number, "expected NAME = VALUE");
  }
  const std::string key = TrimBlanks(line.substr(0, equals));
  ScriptText* item = SetupItem(script_, key);
  if (item == nullptr) {
    ThrowScriptError(at.script, at.number,
                     "unknown setup value '" + key +
                         "' (expected Title, BottomText, ProductKey, ProgramFolder, "
                         "StartMenuFolder, Licence, RunAfter, Publisher, DisplayVersion, "
                         "DisplayIcon, URLInfoAbout, HelpLink or Language)");
  }
  if (item->line != 0) {
    const std::string first = script_->LineReference(at.rank, item->line);
    ThrowScriptError(at.script, at.number,
                     key + " is set twice (first " + (first.rfind("line ", 0) == 0 ? "on " : "at ") +
                         first + ")");
  }
  const std::string value =
      defines_->Expand(ParseSetupValue(line.substr(equals + 1), at.script, at.number), at);
  if (item == &script_->language && ShippedTexts(value).empty()) {
    ThrowScriptError(at.script, at.number,
                     "unknown language '" + value + "' (known: " + ShippedLanguageList() + ")");
  }
  item->value = item == &script_->bottomText ? WithLineBreaks(value) : value;
  item->line = at.rank;
}

void ScriptReader::ReadMessageLine(const std::string& line, const ScriptLine& at) {
  std::string name;
  std::string text;
  ParseMessageLine(line, at.script, at.number, &name, &text);
  text = defines_->Expand(text, at);
  const int id = FindMessage(name);
  if (id < 0) {
    const std::string similar = SimilarMessageName(name);
    ThrowScriptError(at.script, at.number,
                     "unknown text '" + name + "'" +
                         (similar.empty() ? "" : " (did you mean " + similar + "?)") +
                         "; twk messages lists them");
  }
  for (const MessageItem& earlier : script_->messages) {
    if (earlier.id != id) continue;
    const std::string first = script_->LineReference(at.rank, earlier.line);
    ThrowScriptError(at.script, at.number,
                     name + " is set twice (first " + (first.rfind("line ", 0) == 0 ? "on " : "at ") +
                         first + ")");
  }
  const std::string problem = MessageTextProblem(static_cast<size_t>(id), text);
  if (!problem.empty()) ThrowScriptError(at.script, at.number, name + ": " + problem);
  script_->messages.push_back({at.rank, id, text});
}

void ScriptReader::ReadListLine(const std::string& line, const ScriptLine& at) {
  std::vector<ScriptField> fields = SplitScriptFields(line, at.script, at.number);
  // After the split, so that a value put in never splits or joins values.
  for (ScriptField& field : fields) {
    field.name = defines_->Expand(field.name, at);
    field.value = defines_->Expand(field.value, at);
  }
  switch (section_) {
    case Section::kFiles:
      script_->files.push_back(ParseFileLine(fields, at));
      break;
    case Section::kShortcuts:
      script_->shortcuts.push_back(ParseShortcutLine(fields, at));
      break;
    default:
      ReadRegistryLine(fields, at);
  }
}

void ScriptReader::ReadRegistryLine(const std::vector<ScriptField>& fields,
                                    const ScriptLine& at) {
  if (IsRegistryKeyLine(fields)) {
    keyRefused_ = true;
    script_->registry.push_back(ParseRegistryKeyLine(fields, at));
    keyRefused_ = false;
    return;
  }
  RegistryValueItem value = ParseRegistryValueLine(fields, at);
  if (keyRefused_) return;
  if (script_->registry.empty()) ThrowScriptError(at.script, at.number, "a value line before any key line");
  script_->registry.back().values.push_back(std::move(value));
}

// !define NAME VALUE, !define NAME = VALUE; the value as a [Setup] value is written.
void ScriptReader::ReadDefine(const std::string& rest, const ScriptLine& at) {
  const std::string text = TrimBlanks(rest);
  size_t end = 0;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '=') ++end;
  const std::string name = text.substr(0, end);
  std::string value = TrimBlanks(text.substr(end));
  if (!value.empty() && value[0] == '=') value = value.substr(1);
  if (name.empty()) ThrowScriptError(at.script, at.number, "expected !define NAME VALUE");
  if (defines_->FromCommandLine(name)) return;
  defines_->Define(name, defines_->Expand(ParseSetupValue(value, at.script, at.number), at), at);
}

void ScriptReader::ReadInclude(const std::string& rest, const ScriptLine& at,
                               const std::string& folder) {
  std::string file = defines_->Expand(ParseSetupValue(rest, at.script, at.number), at);
  if (file.empty()) ThrowScriptError(at.script, at.number, "expected !include \"FILE\"");
  // Scripts that include each other twice over would read on for ages without a cycle.
  if (++includes_ > kMaxIncludes) {
    ThrowScriptError(at.script, at.number,
                     "more than " + std::to_string(kMaxIncludes) + " scripts are included in all");
  }
  std::replace(file.begin(), file.end(), '\\', '/');
  const std::string path = host::IsRooted(file) || folder == "./" ? file : folder + file;
  const std::string identity = Identity(path);
  for (const std::string& outer : reading_) {
    if (outer == identity) {
      ThrowScriptError(at.script, at.number,
                       "'" + path + "' is already being read: including it again would never end");
    }
  }
  std::string text;
  std::string problem;
  const InputStatus status = ReadInputFile(path, kMaxScriptSize - bytesRead_, &text, &problem);
  if (status == InputStatus::kTooLarge) {
    ThrowScriptError(at.script, at.number,
                     "the script and what it includes come to more than 64 MiB");
  }
  if (status != InputStatus::kOk) {
    throw CommandError(kExitInputError, at.script + ":" + std::to_string(at.number) +
                                            ": the included script '" + path + "' " + problem);
  }
  const Section section = section_;
  reading_.push_back(identity);
  ReadText(text, path, FolderOf(path));
  reading_.pop_back();
  section_ = section;
  keyRefused_ = false;
}

}  // namespace

SetupScript ParseScript(const std::string& text, const std::string& name,
                        const std::string& folder, ScriptDefines* defines,
                        ScriptDiagnostics* diagnostics) {
  SetupScript script;
  script.name = name;
  script.folder = folder;
  ScriptReader reader(&script, defines, diagnostics);
  // "dir" is read as "dir/"; "dir/", "C:\dir\" and "C:" end where a name can follow.
  const bool nameFollows = host::NameStart(folder) == folder.size();
  reader.ReadText(text, name, nameFollows ? folder : folder + "/");
  return script;
}

SetupScript LoadScript(const std::string& path, ScriptDefines* defines,
                       ScriptDiagnostics* diagnostics) {
  std::string text;
  std::string problem;
  if (ReadInputFile(path, kMaxScriptSize, &text, &problem) != InputStatus::kOk) {
    ThrowInputError(path, "the script " + problem);
  }
  const size_t nameStart = host::NameStart(path);
  const std::string folder = nameStart == 0 ? "." : path.substr(0, nameStart);
  return ParseScript(text, path, folder, defines, diagnostics);
}
