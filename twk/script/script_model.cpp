// Turning the rank of a script line back into the file and line it came from.
#include "twk/script/script_model.h"

namespace {

// The span that holds `rank`, or nullptr when the script has none (no includes read).
const ScriptSpan* SpanOf(const std::vector<ScriptSpan>& spans, int rank) {
  const ScriptSpan* found = nullptr;
  for (const ScriptSpan& span : spans) {
    if (span.firstRank > rank) break;
    found = &span;
  }
  return found;
}

}  // namespace

std::string SetupScript::Place(int rank) const {
  if (rank <= 0) return name;
  const ScriptSpan* span = SpanOf(spans, rank);
  if (span == nullptr) return name + ":" + std::to_string(rank);
  return span->file + ":" + std::to_string(span->firstLine + rank - span->firstRank);
}

std::string SetupScript::LineReference(int rank, int other) const {
  const std::string place = Place(other);
  const ScriptSpan* here = SpanOf(spans, rank);
  const ScriptSpan* there = SpanOf(spans, other);
  const bool sameFile = here == nullptr || there == nullptr || here->file == there->file;
  return sameFile ? "line " + place.substr(place.rfind(':') + 1) : place;
}
