// Writing an installer's listing as JSON.
#include "twk/listing_json.h"

#include <algorithm>

#include "package/format.h"
#include "twk/common/json_writer.h"
#include "twk/reader/reader_lines.h"
#include "twk/reader/reader_text.h"

namespace {

// "2020-01-02T03:04:05Z": the listing's time, as ISO 8601 puts it.
std::string IsoTime(uint64_t fileTime) {
  std::string text = FormatFileTime(fileTime);
  text[10] = 'T';
  return text + "Z";
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string hex = FormatHexBytes(bytes.data(), bytes.size());
  hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
  return hex;
}

void WriteHeader(const InstallerHeader& header, JsonWriter* json) {
  json->Key("header");
  json->BeginObject();
  json->Field("title", header.title);
  json->Field("bottomText", header.bottomText);
  json->Field("productKey", header.productKey);
  json->Field("programFolder", header.programFolder);
  json->Field("startMenuFolder", header.startMenuFolder);
  json->Key("licenceBytes");
  if (header.hasLicence) {
    json->Number(header.licence.size());
  } else {
    json->Null();
  }
  json->Key("sizeTable");
  json->BeginArray();
  for (uint32_t word : header.sizeTable) json->Number(word);
  json->EndArray();
  json->EndObject();
}

void WriteFile(const ListedFile& file, JsonWriter* json) {
  const FileEntry& entry = file.entry;
  json->BeginObject();
  json->Field("target", entry.name);
  json->Key("size");
  if (file.sizeKnown) {
    json->Number(file.size);
  } else {
    json->Null();
  }
  json->Field("blocks", uint64_t(file.blocks));
  json->Field("announcedBlocks", uint64_t(entry.fields.blockCount));
  json->Key("version");
  const std::string version = FormatVersion(entry.fields.version);
  if (version == "-") {
    json->Null();
  } else {
    json->String(version);
  }
  json->Field("time", IsoTime(entry.fileTime()));
  json->Field("fileTime", entry.fileTime());
  json->Field("shared", entry.fields.shared != 0);
  json->Key("selfRegisters");
  if (file.selfRegisters == Knowledge::kUnknown) {
    json->Null();
  } else {
    json->Bool(file.selfRegisters == Knowledge::kYes);
  }
  json->EndObject();
}

void WriteShortcuts(const RecordList& list, JsonWriter* json) {
  json->Key("shortcuts");
  json->BeginArray();
  for (const std::string& line : list.lines) {
    const ShortcutLine split = SplitShortcutLine(line);
    json->BeginObject();
    json->Field("link", split.link);
    json->Field("target", split.target);
    json->Field("arguments", split.arguments);
    json->Field("workingFolder", split.workingFolder);
    json->EndObject();
  }
  json->EndArray();
  if (!list.endedByEmpty) json->Field("shortcutsEndedBy", list.ender);
}

void WriteValue(const RegistryLine& line, JsonWriter* json) {
  json->Field("name", line.name);
  switch (line.type) {
    case kRegistryTypeNumber:
      json->Field("type", "dword");
      if (line.problem.empty()) {
        json->Field("value", uint64_t{line.number});
        json->Field("hex", FormatHex32(line.number));
      }
      break;
    case kRegistryTypeBinary:
      json->Field("type", "binary");
      json->Field("value", HexBytes(line.binary));
      json->Field("length", uint64_t{line.binaryLength});
      break;
    case kRegistryTypeRemoveOnly:
      json->Field("type", "remove");
      break;
    default:  // 'S', and any other letter, which the installer writes as a text too
      json->Field("type", "string");
      json->Field("value", line.text);
      // A line without a letter is written as an empty text.
      if (line.type != kRegistryTypeText) {
        json->Field("typeLetter", line.type == 0 ? std::string() : std::string(1, line.type));
      }
  }
  if (!line.problem.empty()) json->Field("problem", line.problem);
}

void WriteRegistry(const std::vector<std::string>& lines, JsonWriter* json) {
  json->Key("registry");
  json->BeginArray();
  for (const std::string& text : lines) WriteRegistryLine(text, json);
  json->EndArray();
}

void WriteVolumes(const InstallerListing& listing, JsonWriter* json) {
  json->Key("volumes");
  json->BeginArray();
  for (const ListedVolume& volume : listing.volumes) {
    json->BeginObject();
    json->Field("path", volume.path);
    json->Field("size", volume.size);
    json->Field("lengthWord", uint64_t{volume.lengthWord});
    json->EndObject();
  }
  json->EndArray();
}

}  // namespace

void WriteRegistryLine(const std::string& text, JsonWriter* json) {
  const RegistryLine line = DecodeRegistryLine(text);
  json->BeginObject();
  switch (line.kind) {
    case RegistryLineKind::kKey:
      json->Field("kind", "key");
      json->Field("root", line.root);
      json->Field("subkey", line.subkey);
      break;
    case RegistryLineKind::kUnknownKey:
      json->Field("kind", "ignoredKey");
      json->Field("line", text);
      break;
    case RegistryLineKind::kValue:
      json->Field("kind", "value");
      WriteValue(line, json);
      break;
    case RegistryLineKind::kOther:
      json->Field("kind", "other");
      json->Field("line", text);
      break;
  }
  json->EndObject();
}

std::string ListingAsJson(const InstallerListing& listing) {
  JsonWriter json;
  json.BeginObject();
  json.Field("installer", listing.path);
  if (listing.opened) json.Field("packageOffset", uint64_t{listing.packageOffset});
  if (listing.haveHeader) WriteHeader(listing.header, &json);
  if (listing.opened) {
    json.Key("files");
    json.BeginArray();
    for (const ListedFile& file : listing.files) WriteFile(file, &json);
    json.EndArray();
    json.Field("filesComplete", listing.filesComplete);
  }
  if (listing.haveLists) {
    WriteShortcuts(listing.shortcuts, &json);
    WriteRegistry(listing.registry, &json);
    json.Field("runAfter", listing.runAfter);
  }
  if (!listing.volumes.empty()) WriteVolumes(listing, &json);
  json.Field("problems", listing.problems);
  json.Field("exitCode", uint64_t(listing.exitCode));
  json.EndObject();
  return json.Text();
}
