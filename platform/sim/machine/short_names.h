// The 8.3 names of the simulated disks. Windows gives every long name a short alias when
// the file is made; here the aliases of a folder are derived from its listing, so they
// are the same on every run: entries in name order (without regard to case), each long
// name taking the first free NAME~N.EXT.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sim {

// True when `name` is already a valid 8.3 name (1 to 8 characters, an optional dot and 1
// to 3 more, no spaces or characters that short names cannot hold). Letter case does not
// matter: such a name is its own short name, spelt as stored.
bool IsShortName(const std::string& name);

// The short names of the entries `names` of one folder. `explicitNames` maps some of the
// entries (by their exact spelling in `names`) to short names set by a test; they are
// reserved first. Entries that are already short map to themselves. Every entry of
// `names` is in the result.
std::map<std::string, std::string> ShortNamesOfFolder(
    std::vector<std::string> names, const std::map<std::string, std::string>& explicitNames);

}  // namespace sim
