// The overwrite policy as a function of what the entry carries and what the disk holds.
#include "installer/overwrite_policy.h"

namespace {

bool DiskFileIsNewer(const OverwriteFacts& facts) {
  if (facts.diskHasVersion) return IsVersionGreater(facts.diskVersion, facts.entryVersion);
  return CompareFileTimes(facts.diskTime, facts.entryTime) > 0;
}

}  // namespace

int CompareFileTimes(platform::FileTime a, platform::FileTime b) {
  const uint64_t left = (static_cast<uint64_t>(a.high) << 32) | a.low;
  const uint64_t right = (static_cast<uint64_t>(b.high) << 32) | b.low;
  if (left == right) return 0;
  return left < right ? -1 : 1;
}

OverwriteQuestion DecideOverwrite(const OverwriteFacts& facts) {
  if (!facts.yesToAllNewer && DiskFileIsNewer(facts)) return OverwriteQuestion::kNewerFile;
  if (facts.shared && CompareFileTimes(facts.diskTime, facts.entryTime) == 0) {
    return OverwriteQuestion::kSameFile;
  }
  return OverwriteQuestion::kNone;
}

OverwriteChoice NewerFileChoice(int result) {
  switch (result) {
    case kOverwriteNo:
      return OverwriteChoice::kSkip;
    case kOverwriteAll:
      return OverwriteChoice::kWriteAllNewer;
    case kOverwriteCancel:
      return OverwriteChoice::kCancelInstall;
    default:
      return OverwriteChoice::kWrite;
  }
}

OverwriteChoice SameFileChoice(int result) {
  // "Skip All" skips this file only: the answer is not remembered for the next one.
  if (result == kOverwriteNo || result == kOverwriteCancel) return OverwriteChoice::kSkip;
  return OverwriteChoice::kWrite;
}
