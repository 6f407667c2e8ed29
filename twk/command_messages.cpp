// twk messages: every text of the installer, as the lines of a [Messages] section.
#include <iostream>

#include "base/messages.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/exit_codes.h"
#include "twk/common/message_table.h"
#include "twk/script/script_messages.h"

int RunMessagesCommand(const Arguments& args) {
  std::string language;
  if (args.size() == 2 && args[0] == "--language") {
    language = args[1];
  } else if (!args.empty()) {
    std::cerr << "twk: " << CommandSynopsis("messages") << "\n";
    return kExitUsage;
  }
  std::vector<std::string> texts;
  if (!language.empty()) {
    texts = ShippedTexts(language);
    if (texts.empty()) {
      std::cerr << "twk: unknown language '" << language << "' (known: " << ShippedLanguageList()
                << ")\n";
      return kExitUsage;
    }
  }
  texts.resize(kMessageCount);
  for (size_t id = 0; id < kMessageCount; ++id) {
    const MessageInfo& message = MessageAt(id);
    std::cout << MessageLine(message.name, texts[id].empty() ? message.english : texts[id]) << "\n";
  }
  return kExitOk;
}
