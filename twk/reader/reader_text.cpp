// Printing helpers of the reading commands.
#include "twk/reader/reader_text.h"

#include <cstdio>

namespace {

constexpr int64_t kFileTimeTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr int64_t kSecondsPerDay = 86400;

// The proleptic Gregorian date of a day count from 1970-01-01 (negative before it).
void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  *day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  *month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  *year = static_cast<int64_t>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

std::string EscapeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormatVersion(const uint16_t version[4]) {
  if ((version[0] | version[1] | version[2] | version[3]) == 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", version[0], version[1], version[2],
                version[3]);
  return text;
}

void FileTimeToUnix(uint64_t fileTime, int64_t* seconds, uint32_t* nanoseconds) {
  *seconds = static_cast<int64_t>(fileTime / kFileTimeTicksPerSecond) - kSecondsFrom1601To1970;
  *nanoseconds = static_cast<uint32_t>(fileTime % kFileTimeTicksPerSecond) * 100;
}

std::string FormatFileTime(uint64_t fileTime) {
  int64_t seconds = 0;
  uint32_t nanoseconds = 0;
  FileTimeToUnix(fileTime, &seconds, &nanoseconds);
  int64_t days = seconds / kSecondsPerDay;
  int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days, &year, &month, &day);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02u:%02u:%02u",
                static_cast<long long>(year), month, day, static_cast<unsigned>(rest / 3600),
                static_cast<unsigned>(rest / 60 % 60), static_cast<unsigned>(rest % 60));
  return text;
}

std::string FormatHexBytes(const uint8_t* bytes, size_t count) {
  std::string out;
  char hex[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    if (i != 0) out += ' ';
    out += hex;
  }
  return out;
}

std::string FormatHex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}
