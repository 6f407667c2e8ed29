// The reading commands with their output streams as parameters, so that tests see what
// a user sees. Each returns the process exit code (exit_codes.h). Messages for the user
// go to `err` as one line each, starting "twk: " and naming the file; with kJson they are
// in the document on `out` as well.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum class ReportFormat {
  kText,
  kJson,  // one JSON document on `out` (docs/json.md), whatever the outcome
};

// The header, size table, files, shortcuts, registry lines and run-after command.
int ListInstaller(const std::string& path, std::ostream& out, std::ostream& err,
                  ReportFormat format = ReportFormat::kText);

// Every block's checksums and expansion and the layout across all volumes, and every
// file target against what ExtractInstaller accepts; a summary line on `out`. kExitOk only
// when everything is sound; kExitDamaged for any damage; kExitOutputError when the package
// is intact but holds targets that ExtractInstaller refuses.
int VerifyInstaller(const std::string& path, std::ostream& out, std::ostream& err,
                    ReportFormat format = ReportFormat::kText);

// Every file below `folder`, never outside it, with its modification time set. `jobs`
// threads expand the blocks (0: one per processor); files and messages are the same for
// any number.
int ExtractInstaller(const std::string& path, const std::string& folder, std::ostream& out,
                     std::ostream& err, unsigned jobs = 0);

// A maintenance program's trailer and uninstall log.
int LogMaintenanceProgram(const std::string& path, std::ostream& out, std::ostream& err,
                          ReportFormat format = ReportFormat::kText);

// The arguments of list, verify and log: one file and --json, in any order. False when
// they are anything else.
bool ParseReportArguments(const std::vector<std::string>& args, std::string* path,
                          ReportFormat* format);

// What differs between the installers OLD and NEW (docs/json.md for kJson): kExitOk when
// they install the same, kExitDifferent when they do not; kExitInputError when one is
// missing, unreadable or no installer, kExitDiffDamaged when one is damaged or incomplete
// (then nothing is compared). Both are read at the same time, `jobs` threads expanding
// the blocks of each (0: one per processor between them).
int DiffInstallers(const std::string& oldPath, const std::string& newPath, std::ostream& out,
                   std::ostream& err, ReportFormat format = ReportFormat::kText,
                   unsigned jobs = 0);
