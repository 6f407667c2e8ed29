// `twk build SCRIPT [-o OUT] [--volume-size SIZE] [--arch x86|x64] [--stub FILE] [--jobs N]
//  [-D NAME=VALUE]... [--strict]`
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "twk/build/build_installer.h"
#include "twk/build/build_progress.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/script/script_defines.h"
#include "twk/script/script_diagnostics.h"
#include "twk/volume_size.h"

namespace {

[[noreturn]] void UsageError(const std::string& what) {
  throw CommandError(kExitUsage, what + "\n" + CommandSynopsis("build"));
}

uint64_t VolumeSizeOption(const std::string& text) {
  uint64_t size = 0;
  std::string problem;
  if (!ParseVolumeSize(text, &size, &problem)) UsageError(problem);
  return size;
}

// NAME=VALUE of -D.
std::pair<std::string, std::string> DefineOption(const std::string& text) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  if (equals == std::string::npos || !ScriptDefines::IsName(name)) {
    UsageError("-D takes NAME=VALUE, a name being a letter or '_' followed by letters, digits "
               "and '_', not '" + text + "'");
  }
  return {name, text.substr(equals + 1)};
}

// Any count from 1 up: the pool runs no more than OrderedPool's most, as the usage says.
unsigned ParseJobs(const std::string& text) {
  const size_t first = text.find_first_not_of('0');
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
      first == std::string::npos) {
    UsageError("--jobs takes a number of threads from 1 up, not '" + text + "'");
  }
  const std::string digits = text.substr(first);
  return digits.size() > 9 ? ~0u : static_cast<unsigned>(std::stoul(digits));
}

BuildRequest ParseBuildArguments(const Arguments& args) {
  BuildRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg.size() > 2 && arg.compare(0, 2, "-D") == 0) {
      request.defines.push_back(DefineOption(arg.substr(2)));
    } else if (arg == "--strict") {
      request.strict = true;
    } else if (arg == "-o" || arg == "--volume-size" || arg == "--arch" || arg == "--stub" ||
               arg == "--jobs" || arg == "-D") {
      if (!hasValue) UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "-o") request.output = value;
      if (arg == "-D") request.defines.push_back(DefineOption(value));
      if (arg == "--volume-size") request.volumeSize = VolumeSizeOption(value);
      if (arg == "--stub") request.stub = value;
      if (arg == "--jobs") request.jobs = ParseJobs(value);
      if (arg == "--arch") {
        if (value != "x86" && value != "x64") UsageError("--arch is x86 or x64, not '" + value + "'");
        request.arch = value;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      UsageError("unknown option '" + arg + "'");
    } else if (request.script.empty()) {
      request.script = arg;
    } else {
      UsageError("more than one script: '" + request.script + "' and '" + arg + "'");
    }
  }
  if (request.script.empty()) UsageError("no script given");
  return request;
}

// The year 9999 ends here; nothing later fits the times the installer gives its files.
constexpr int64_t kLatestSourceDate = 253402300799;

// SOURCE_DATE_EPOCH, the reproducible builds' convention for "when the sources were last
// changed": a decimal number of seconds since 1970-01-01 00:00:00 UTC. A value that says
// anything else is refused rather than read as something the pipeline never meant.
std::optional<int64_t> SourceDateEpoch() {
  const char* value = std::getenv("SOURCE_DATE_EPOCH");
  if (value == nullptr) return std::nullopt;
  const std::string text = value;
  const bool digits = !text.empty() && text.size() <= 12 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stoll(text) > kLatestSourceDate) {
    throw CommandError(kExitUsage,
                       "SOURCE_DATE_EPOCH must be a whole number of seconds since 1970-01-01 "
                       "00:00:00 UTC, up to the end of 9999, not '" + text + "'");
  }
  return std::stoll(text);
}

const char* Plural(size_t count) {
  return count == 1 ? "" : "s";
}

}  // namespace

int RunBuildCommand(const Arguments& args) {
  try {
    BuildRequest request = ParseBuildArguments(args);
    request.progress = StandardErrorIsTerminal();
    request.sourceDateEpoch = SourceDateEpoch();
    const BuildResult result = BuildInstaller(request);
    for (const std::string& warning : result.warnings) {
      std::fputs(MessageLine("warning: " + warning).c_str(), stderr);
    }
    std::printf("%s: %zu file%s, %u block%s, %llu package bytes", result.files[0].c_str(),
                result.fileCount, Plural(result.fileCount), result.blockCount,
                Plural(result.blockCount), static_cast<unsigned long long>(result.packageLength));
    const size_t volumes = result.files.size() - 1;
    if (volumes > 0) std::printf(", plus %zu volume file%s", volumes, Plural(volumes));
    std::printf("\n");
    return kExitOk;
  } catch (const ScriptErrors& errors) {
    for (const std::string& message : errors.messages()) {
      std::fputs(MessageLine(message).c_str(), stderr);
    }
    return errors.exitCode();
  } catch (const CommandError& error) {
    std::fputs(MessageLine(error.what()).c_str(), stderr);
    return error.exitCode();
  } catch (const std::exception& error) {
    std::fputs(MessageLine(std::string("internal error: ") + error.what()).c_str(), stderr);
    return kExitOutputError;
  }
}
