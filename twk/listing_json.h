// `twk list --json`: the listing as one JSON document, docs/json.md describes it.
#pragma once

#include <string>

#include "twk/common/json_writer.h"
#include "twk/installer_listing.h"

std::string ListingAsJson(const InstallerListing& listing);

// One line of a registry list as the object that `registry[]` holds (docs/json.md).
void WriteRegistryLine(const std::string& text, JsonWriter* json);
