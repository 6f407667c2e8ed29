// How the reading commands print package values: texts with their control bytes made
// visible, versions, FILETIMEs as UTC dates, and byte strings in hexadecimal.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

// The text with tab, newline, carriage return and other control bytes (below 0x20 and
// 0x7F..0x9F, which some terminals obey as commands) written as \t, \n, \r and \xNN.
std::string EscapeText(const std::string& text);

// "major.minor.build.revision", or "-" when all four are 0 (the package's "no version").
std::string FormatVersion(const uint16_t version[4]);

// A FILETIME (100-nanosecond intervals since 1601-01-01 UTC) as "YYYY-MM-DD HH:MM:SS".
std::string FormatFileTime(uint64_t fileTime);

// The Unix time of a FILETIME: whole seconds (negative before 1970) and nanoseconds.
void FileTimeToUnix(uint64_t fileTime, int64_t* seconds, uint32_t* nanoseconds);

// "0a 00 0b": two hexadecimal digits per byte, separated by spaces.
std::string FormatHexBytes(const uint8_t* bytes, size_t count);

// "0x%08X".
std::string FormatHex32(uint32_t value);
