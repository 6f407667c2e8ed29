// How far the uninstaller may reach: which log records it follows at all.
#pragma once

// True when `path` holds a component that climbs to a parent: "..", or any other run of
// two or more dots with only dots and blanks besides (Windows drops the trailing ones,
// and older systems read "..." as two levels up). Components end at '\\' or '/'. Such a
// record may name any file of the machine, whatever folder it appears to lie in.
bool HasParentStep(const char* path);
