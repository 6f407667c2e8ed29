// Writing a comparison of two installers as JSON.
#include "twk/diff_json.h"

#include "twk/common/json_writer.h"
#include "twk/listing_json.h"
#include "twk/reader/reader_lines.h"
#include "twk/reader/reader_text.h"

namespace {

const char* ChangeName(Change change) {
  return change == Change::kAdded ? "added" : change == Change::kRemoved ? "removed" : "changed";
}

// "2020-01-02T03:04:05Z", as twk list --json writes times.
std::string IsoTime(uint64_t fileTime) {
  std::string text = FormatFileTime(fileTime);
  text[10] = 'T';
  return text + "Z";
}

void WriteTexts(const std::vector<TextDifference>& texts, JsonWriter* json) {
  json->Key("texts");
  json->BeginArray();
  for (const TextDifference& text : texts) {
    json->BeginObject();
    json->Field("field", text.field);
    json->Key("old");
    text.hadOld ? json->String(text.oldText) : json->Null();
    json->Key("new");
    text.hasNew ? json->String(text.newText) : json->Null();
    json->EndObject();
  }
  json->EndArray();
}

void WriteFile(const std::string& key, const DigestedFile* file, JsonWriter* json) {
  if (file == nullptr) return;
  const FileEntry& entry = file->entry;
  json->Key(key);
  json->BeginObject();
  json->Field("target", entry.name);
  json->Key("size");
  file->contentKnown ? json->Number(file->size) : json->Null();
  json->Key("sha256");
  file->contentKnown ? json->String(file->sha256) : json->Null();
  json->Key("version");
  const std::string version = FormatVersion(entry.fields.version);
  version == "-" ? json->Null() : json->String(version);
  json->Field("time", IsoTime(entry.fileTime()));
  json->Field("fileTime", entry.fileTime());
  json->Field("shared", entry.fields.shared != 0);
  json->Key("selfRegisters");
  if (file->selfRegisters == Knowledge::kUnknown) {
    json->Null();
  } else {
    json->Bool(file->selfRegisters == Knowledge::kYes);
  }
  json->EndObject();
}

void WriteFiles(const std::vector<FileDifference>& files, JsonWriter* json) {
  json->Key("files");
  json->BeginArray();
  for (const FileDifference& file : files) {
    json->BeginObject();
    json->Field("change", ChangeName(file.change));
    json->Field("target", (file.newFile != nullptr ? file.newFile : file.oldFile)->entry.name);
    if (file.change == Change::kChanged) json->Field("fields", file.fields);
    WriteFile("old", file.oldFile, json);
    WriteFile("new", file.newFile, json);
    json->EndObject();
  }
  json->EndArray();
}

void WriteShortcut(const std::string& key, const std::string& line, JsonWriter* json) {
  const ShortcutLine shortcut = SplitShortcutLine(line);
  json->Key(key);
  json->BeginObject();
  json->Field("link", shortcut.link);
  json->Field("target", shortcut.target);
  json->Field("arguments", shortcut.arguments);
  json->Field("workingFolder", shortcut.workingFolder);
  json->EndObject();
}

void WriteLines(const std::string& name, const std::vector<LineDifference>& lines,
                JsonWriter* json) {
  const bool registry = name == "registry";
  json->Key(name);
  json->BeginArray();
  for (const LineDifference& line : lines) {
    json->BeginObject();
    json->Field("change", ChangeName(line.change));
    json->Field(registry ? "key" : "link", line.key);
    if (line.change != Change::kAdded) {
      if (registry) {
        json->Key("old");
        WriteRegistryLine(line.oldLine, json);
      } else {
        WriteShortcut("old", line.oldLine, json);
      }
    }
    if (line.change != Change::kRemoved) {
      if (registry) {
        json->Key("new");
        WriteRegistryLine(line.newLine, json);
      } else {
        WriteShortcut("new", line.newLine, json);
      }
    }
    json->EndObject();
  }
  json->EndArray();
}

}  // namespace

std::string DiffAsJson(const InstallerDigest& oldOne, const InstallerDigest& newOne,
                       const InstallerDiff* diff, const std::vector<std::string>& problems,
                       int exitCode) {
  JsonWriter json;
  json.BeginObject();
  json.Field("old", oldOne.path);
  json.Field("new", newOne.path);
  json.Field("compared", diff != nullptr);
  if (diff != nullptr) {
    json.Field("same", diff->same());
    WriteTexts(diff->texts, &json);
    WriteFiles(diff->files, &json);
    WriteLines("shortcuts", diff->shortcuts, &json);
    WriteLines("registry", diff->registry, &json);
  }
  json.Field("problems", problems);
  json.Field("exitCode", uint64_t(exitCode));
  json.EndObject();
  return json.Text();
}
