// The installer's texts: the shipped translations keep every rule, and the dialog
// templates hold the table's English texts in places as large as its limits say.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "twk/common/message_table.h"
#include "twk/script/script_messages.h"

namespace {

TEST(BuildMessages, EveryShippedTranslationIsCompleteAndKeepsEveryRule) {
  EXPECT_EQ(ShippedLanguages(), (std::vector<std::string>{"de", "es", "fr", "it", "nl", "pt-BR"}));
  for (const std::string& tag : ShippedLanguages()) {
    std::vector<std::string> texts;
    // Placeholders, limits, names, code page 1252: ShippedTexts refuses a file breaking one.
    ASSERT_NO_THROW(texts = ShippedTexts(tag)) << tag;
    for (size_t id = 0; id < kMessageCount; ++id) {
      EXPECT_FALSE(texts[id].empty()) << tag << " leaves " << MessageAt(id).name << " in English";
      // What twk messages prints reads back as the same text.
      std::string name;
      std::string text;
      ParseMessageLine(MessageLine(MessageAt(id).name, texts[id]), tag, 1, &name, &text);
      EXPECT_EQ(text, texts[id]);
    }
  }
}

// The number a resource name of resource_ids.h stands for ("IDD_WELCOME" -> 111).
std::map<std::string, int> ResourceNumbers(const std::string& header) {
  std::map<std::string, int> numbers = {{"IDCANCEL", 2}};
  const std::regex define(R"(#define (ID\w+) \(?(-?\d+)\)?)");
  for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) {
    numbers[(*it)[1]] = std::stoi((*it)[2]);
  }
  return numbers;
}

// How many characters a place shows whole, from its size in dialog units: a line of the
// dialogs' 8-point font is 8 units high, and an average character of running text is
// taken as 3.5 units wide (measured: 3.1); a button's one line loses 4 units to its edges
// and takes 3.2 units a character; a title bar shows a fifth of the dialog's width.
int LimitOf(const std::string& kind, int width, int height) {
  if (kind == "CAPTION") return width / 5;
  if (kind == "BUTTON" || kind.find("PUSHBUTTON") != std::string::npos) return (width - 4) * 5 / 16;
  const int lines = std::max(1, height / 8);
  return lines * width * 2 / 7;
}

TEST(BuildMessages, TheTemplatesHoldTheEnglishTextsInPlacesAsLargeAsTheLimits) {
  const auto read = [](const std::string& name) {
    std::ifstream file(std::string(TWK_SOURCE_DIR) + "/resources/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  };
  const std::map<std::string, int> numbers = ResourceNumbers(read("resource_ids.h"));
  // A statement that goes on over a line break is read as one line.
  const std::string rc = std::regex_replace(read("stub.rc"), std::regex(",\n\\s+"), ", ");
  struct Place {
    std::string text;
    int limit;
  };
  std::map<std::pair<int, int>, Place> places;
  const std::regex dialogLine(R"((IDD_\w+) DIALOG 0, 0, (\d+), (\d+))");
  const std::regex captionLine(R"re(CAPTION "([^"]*)")re");
  const std::regex controlLine(
      R"re((CONTROL|LTEXT|PUSHBUTTON|DEFPUSHBUTTON) "([^"]*)", (\w+), (?:"(\w+)", \w+, )?\d+, \d+, (\d+), (\d+))re");
  std::istringstream lines(rc);
  std::smatch match;
  int dialog = 0;
  int dialogWidth = 0;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_search(line, match, dialogLine)) {
      dialog = numbers.at(match[1]);
      dialogWidth = std::stoi(match[2]);
    } else if (std::regex_search(line, match, captionLine)) {
      places[{dialog, 0}] = {match[1], LimitOf("CAPTION", dialogWidth, 0)};
    } else if (std::regex_search(line, match, controlLine) && numbers.count(match[3]) != 0) {
      const std::string kind = match[4].matched ? std::string(match[4]) : std::string(match[1]);
      places[{dialog, numbers.at(match[3])}] = {
          match[2], LimitOf(kind, std::stoi(match[5]), std::stoi(match[6]))};
    }
  }
  int checked = 0;
  for (size_t id = 0; id < kMessageCount; ++id) {
    const MessageInfo& message = MessageAt(id);
    // Dialog 0 is the wizard's frame, which the common controls make (buttons 50 units wide).
    if (message.dialog <= 0) continue;
    const auto place = places.find({message.dialog, message.control});
    ASSERT_NE(place, places.end()) << message.name;
    EXPECT_EQ(place->second.text, message.english) << message.name;
    EXPECT_EQ(place->second.limit, static_cast<int>(message.limit)) << message.name;
    ++checked;
  }
  EXPECT_EQ(checked, 22);
}

}  // namespace
