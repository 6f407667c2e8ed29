// `twk list --json`: the listing as one JSON document, docs/json.md describes it.
#pragma once

#include <string>

#include "twk/installer_listing.h"

std::string ListingAsJson(const InstallerListing& listing);
