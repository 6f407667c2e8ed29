// The table of the stub's texts, and the rules of a translation.
#include "twk/common/message_table.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "base/message_section.h"

namespace {

const MessageInfo kMessages[kMessageCount] = {
#define MESSAGE(name, limit, where, english) {#name, english, limit, where, -1, 0},
#define DIALOG_TEXT(name, dialog, control, limit, where, english) \
  {#name, english, limit, where, dialog, control},
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
};

// A conversion as the message names it: as a script writes it (a line break as \n), and
// one that runs on past kShownConversion characters cut short, so that a stray '%' before
// a long stretch of text still leaves the message one short line.
constexpr size_t kShownConversion = 12;

std::string ShownConversion(const std::string& conversion) {
  std::string shown;
  for (size_t i = 0; i < conversion.size() && i < kShownConversion; ++i) {
    const unsigned char c = static_cast<unsigned char>(conversion[i]);
    if (c == '\n') {
      shown += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      shown += '?';
    } else {
      shown += conversion[i];
    }
  }
  return conversion.size() > kShownConversion ? shown + "..." : shown;
}

// The conversions of a format text, for a message that names them.
std::string Placeholders(const std::string& text) {
  std::string found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && (!std::isalpha(static_cast<unsigned char>(text[end])) || text[end] == 'l')) ++end;
    found += (found.empty() ? "" : " ") + ShownConversion(text.substr(i, end + 1 - i));
    i = end;
  }
  return found.empty() ? "none" : found;
}

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::toupper(static_cast<unsigned char>(a[i - 1])) ==
                        std::toupper(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const MessageInfo& MessageAt(size_t id) { return kMessages[id]; }

int FindMessage(const std::string& name) {
  for (size_t id = 0; id < kMessageCount; ++id) {
    if (name == kMessages[id].name) return static_cast<int>(id);
  }
  return -1;
}

std::string SimilarMessageName(const std::string& name) {
  std::string best;
  size_t bestDistance = name.size() / 3 + 2;  // closer than this is a slip of the pen
  for (const MessageInfo& message : kMessages) {
    const size_t distance = EditDistance(name, message.name);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = message.name;
    }
  }
  return best;
}

size_t ShownLength(const MessageInfo& message, const std::string& text) {
  if (message.dialog < 0) return text.size();
  size_t length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    ++length;
  }
  return length;
}

std::string MessageTextProblem(size_t id, const std::string& text) {
  const MessageInfo& message = kMessages[id];
  if (text.find('\0') != std::string::npos) return "the text holds a NUL byte";
  const size_t length = ShownLength(message, text);
  if (length > message.limit) {
    return "the text has " + std::to_string(length) + " characters; its place (" +
           message.where + ") shows at most " + std::to_string(message.limit);
  }
  if (!SamePlaceholders(text.c_str(), message.english)) {
    return "the text's placeholders (" + Placeholders(text) + ") differ from the English text's (" +
           Placeholders(message.english) + "): they must be the same, in the same order";
  }
  return std::string();
}
