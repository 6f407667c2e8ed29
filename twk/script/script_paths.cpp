// Brace groups and target identity for the builder's checks.
#include "twk/script/script_paths.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "twk/common/macro_tokens.h"

namespace {

constexpr size_t kTypoDistance = 2;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Letters to insert, delete or change to turn one text into the other.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The macro within kTypoDistance of `name` or of its leading letters ("WinDir" of
// "WinDir]x"), the nearest first; nullptr when none is that close.
const MacroToken* NearMacro(const std::string& name) {
  size_t letters = 0;
  while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters]))) ++letters;
  const std::string whole = Lower(name);
  const std::string word = whole.substr(0, letters);
  const MacroToken* nearest = nullptr;
  size_t best = kTypoDistance + 1;
  for (const MacroToken& macro : kMacroTokens) {
    const std::string known = Lower(MacroName(macro));
    size_t distance = EditDistance(whole, known);
    if (!word.empty()) distance = std::min(distance, EditDistance(word, known));
    if (distance < best) {
      best = distance;
      nearest = &macro;
    }
  }
  return nearest;
}

std::string DidYouMean(const MacroToken* macro) {
  return macro == nullptr ? std::string() : std::string("; did you mean ") + macro->token + "?";
}

}  // namespace

std::string BraceGroupProblem(const std::string& path) {
  const size_t open = path.find('{');
  if (open == std::string::npos) return std::string();
  const size_t close = path.find('}', open);
  const size_t slash = path.find('\\', open);
  const MacroToken* recognised = RecognisedMacroAt(path, open);
  if (close == std::string::npos || slash < close) {
    const std::string group = path.substr(open, slash == std::string::npos ? slash : slash - open);
    std::string problem = "the brace group '" + group + "' is not closed by '}'" +
                          (close == std::string::npos ? "" : " before the next '\\'");
    if (recognised != nullptr) {
      problem += std::string(": the installer would take it and everything up to the next '}'") +
                 " (or the end of the path) for " + recognised->token;
    }
    const MacroToken* near = NearMacro(path.substr(open + 1, group.size() - 1));
    return problem + DidYouMean(near != nullptr ? near : recognised);
  }
  if (recognised != nullptr) return std::string();
  const std::string name = path.substr(open + 1, close - open - 1);
  const MacroToken* near = NearMacro(name);
  if (near == nullptr) return std::string();
  return "'{" + name + "}' is no path macro, so the installer leaves it as written" +
         DidYouMean(near);
}

std::string TargetIdentity(const std::string& path) {
  std::string expanded = path;
  const size_t open = path.find('{');
  const MacroToken* macro = open == std::string::npos ? nullptr : RecognisedMacroAt(path, open);
  if (macro != nullptr) {
    const size_t close = path.find('}', open);
    const std::string rest = close == std::string::npos ? std::string() : path.substr(close + 1);
    expanded = path.substr(0, open) + macro->token + rest;
  }
  expanded = Lower(expanded);
  // The first component, with any '\' that leads it ("\\server"), is the root.
  size_t rootEnd = expanded.find_first_not_of('\\');
  rootEnd = rootEnd == std::string::npos ? expanded.size() : expanded.find('\\', rootEnd);
  if (rootEnd == std::string::npos) return expanded;
  std::vector<std::string> names;
  for (size_t start = rootEnd + 1; start <= expanded.size();) {
    const size_t end = std::min(expanded.find('\\', start), expanded.size());
    const std::string name = expanded.substr(start, end - start);
    if (name == ".." && !names.empty() && names.back() != "..") {
      names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  std::string identity = expanded.substr(0, rootEnd);
  for (const std::string& name : names) identity += "\\" + name;
  return identity;
}
