// `twk diff --json`: the comparison as one JSON document, docs/json.md describes it.
#pragma once

#include <string>
#include <vector>

#include "twk/installer_diff.h"

// `diff` is null when the installers were not compared (a problem kept one from being
// read whole).
std::string DiffAsJson(const InstallerDigest& oldOne, const InstallerDigest& newOne,
                       const InstallerDiff* diff, const std::vector<std::string>& problems,
                       int exitCode);
