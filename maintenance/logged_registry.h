// Removing the registry values and keys that the uninstall log's registry section names.
#pragma once

#include "maintenance/uninstall_log_reader.h"
#include "platform/registry.h"

// Takes the registry section from `log` (standing at its start) to its end (the empty
// record met where a key line is expected) and removes what it names: for each key line
// whose root is known and whose key opens with all access, the logged values; a key line
// that is not usable is passed over with its value names. Then every key whose values
// were deleted is deleted while it is empty, and its parents with it while they are empty.
// A registry path has no parent step: a ".." in a key line names a key of that name, so
// key lines are used as they stand.
void UndoRegistryEntries(LoadedLog* log);

// Takes value-name records from `log` up to and including the next empty record and
// deletes each named value of `key` ("@" names the default value). Failures are ignored.
void DeleteLoggedValues(platform::Key key, LoadedLog* log);
