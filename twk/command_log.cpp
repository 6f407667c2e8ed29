// twk log: shows a maintenance program's trailer and its uninstall log.
#include <iostream>

#include "maintenance/removal_bounds.h"
#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/json_writer.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_text.h"
#include "twk/reader/uninstall_log.h"
#include "twk/reader_commands.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + EscapeText(text) + "\""; }

void PrintTrailer(const std::string& path, const UninstallLog& log, std::ostream& out) {
  out << "Program:      " << path << " (package offset " << log.packageOffset << ")\n"
      << "Mode:         " << unsigned{log.mode} << " (" << ModeName(log.mode) << ")\n"
      << "Title:        " << Quoted(log.title) << "\n"
      << "Bottom text:  " << Quoted(log.bottomText) << "\n"
      << "Product key:  " << Quoted(log.productKey) << "\n";
}

void PrintFiles(const UninstallLog& log, std::ostream& out) {
  out << "\nFile section: " << log.files.size() << (log.files.size() == 1 ? " record\n" : " records\n");
  for (const LoggedFile& file : log.files) {
    // The uninstaller passes over a record that climbs out of its folder; say so here.
    out << "  " << EscapeText(file.path) << (file.shared ? "  [shared]" : "")
        << (HasParentStep(file.path.c_str()) ? "  [climbs out of its folder: passed over]" : "")
        << "\n";
  }
}

void PrintRegistry(const UninstallLog& log, std::ostream& out) {
  out << "\nRegistry section:\n";
  for (const LoggedRegistryItem& item : log.registry) {
    if (!item.isKey) {
      out << "  passed over (no key line): " << Quoted(item.line) << "\n";
      continue;
    }
    out << "  key " << EscapeText(item.line.substr(1))
        << (item.rootRecognised ? "" : "  [unknown root: skipped with its values]") << "\n";
    for (const std::string& name : item.valueNames) {
      out << "    " << (name == kRegistryDefaultValueName ? "@ (default)" : Quoted(name)) << "\n";
    }
  }
}

// What is wrong with the log or the program, and the notes; the exit code.
int Findings(const std::string& path, const UninstallLog& log, std::vector<std::string>* notes,
             std::vector<std::string>* problems) {
  if (log.trailingBytes != 0) {
    notes->push_back(std::to_string(log.trailingBytes) + " bytes follow what the program reads");
  }
  if (!log.complete) {
    problems->push_back(log.problem + ": the uninstall log is cut short");
  } else if (log.mode != kModeUninstall && log.mode != kModeFinalize) {
    problems->push_back(path + ": unknown mode byte " + std::to_string(unsigned{log.mode}));
  }
  return problems->empty() ? kExitOk : kExitDamaged;
}

void WriteLogJson(const UninstallLog& log, JsonWriter* json) {
  json->Key("files");
  json->BeginArray();
  for (const LoggedFile& file : log.files) {
    json->BeginObject();
    json->Field("path", file.path);
    json->Field("shared", file.shared);
    json->Field("passedOver", HasParentStep(file.path.c_str()));
    json->EndObject();
  }
  json->EndArray();
  json->Key("registry");
  json->BeginArray();
  for (const LoggedRegistryItem& item : log.registry) {
    json->BeginObject();
    if (item.isKey) {
      json->Field("key", item.line.substr(1));
      json->Field("rootRecognised", item.rootRecognised);
      json->Field("values", item.valueNames);
    } else {
      json->Field("passedOver", item.line);
    }
    json->EndObject();
  }
  json->EndArray();
}

void PrintJson(const std::string& path, const UninstallLog* log, int code,
               const std::vector<std::string>& notes, const std::vector<std::string>& problems,
               std::ostream& out) {
  JsonWriter json;
  json.BeginObject();
  json.Field("program", path);
  if (log != nullptr) {
    json.Field("packageOffset", uint64_t{log->packageOffset});
    json.Field("mode", uint64_t{log->mode});
    json.Field("modeName", ModeName(log->mode));
    json.Field("title", log->title);
    json.Field("bottomText", log->bottomText);
    json.Field("productKey", log->productKey);
    if (log->mode == kModeUninstall) WriteLogJson(*log, &json);
    json.Field("complete", log->complete);
  }
  json.Field("notes", notes);
  json.Field("problems", problems);
  json.Field("exitCode", uint64_t(code));
  json.EndObject();
  out << json.Text();
}

}  // namespace

int LogMaintenanceProgram(const std::string& path, std::ostream& out, std::ostream& err,
                          ReportFormat format) {
  UninstallLog log;
  std::vector<std::string> notes;
  std::vector<std::string> problems;
  try {
    log = ReadUninstallLog(path);
  } catch (const ReadError& error) {
    err << MessageLine(error.what());
    problems.push_back(error.what());
    if (format == ReportFormat::kJson) PrintJson(path, nullptr, error.exitCode(), notes, problems, out);
    return error.exitCode();
  }
  const int code = Findings(path, log, &notes, &problems);
  if (format == ReportFormat::kJson) {
    PrintJson(path, &log, code, notes, problems, out);
  } else {
    PrintTrailer(path, log, out);
    if (log.mode == kModeUninstall) {
      PrintFiles(log, out);
      PrintRegistry(log, out);
    }
    for (const std::string& note : notes) out << "note: " << note << "\n";
  }
  for (const std::string& problem : problems) err << MessageLine(problem);
  return code;
}

int RunLogCommand(const Arguments& args) {
  std::string program;
  ReportFormat format = ReportFormat::kText;
  if (!ParseReportArguments(args, &program, &format)) {
    std::cerr << "twk: " << CommandSynopsis("log") << "\n";
    return kExitUsage;
  }
  return LogMaintenanceProgram(program, std::cout, std::cerr, format);
}
