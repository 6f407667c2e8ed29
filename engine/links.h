// Links on the way to a file: a symbolic link, junction or mount point (a reparse point)
// leads to a place that is not the installation's, and a file with more than one name
// shares its bytes with a file elsewhere. Another program may leave either in a folder
// it may write, for an installer or uninstaller running as administrator to write or
// delete through. Neither is ever made by the installation, so both are refused: the
// installer treats one as a file it cannot create, the uninstaller and the finalizer pass
// over what lies behind it.
#pragma once

// Where the folders of `path` begin: after "X:\", after "\\server\share\", after a
// leading '\', or after "X:"; `path` itself for a relative path.
const char* PathRootEnd(const char* path);

// Where the part of `path` that is the installation's to look at begins: after the
// longest folder Windows owns that `path` is or lies below (protected_folders.h), which
// is taken as the system names it, a link or not; otherwise after its root. The end of
// `path` when it is such a folder itself.
const char* OwnPartStart(const char* path);

// Whether a folder of `path` after OwnPartStart is a reparse point, or the last
// component itself is a link (platform::IsLink). Parts that do not exist are no links. A
// path longer than 259 characters, which could not be looked at whole, counts as one.
bool PathHasLink(const char* path);
