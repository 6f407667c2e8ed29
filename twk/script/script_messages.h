// The installer's texts in a script: `Language = TAG` picks one of the translations twk
// ships (languages/TAG.txt, built into twk), and `[Messages]` lines `NAME = "text"`
// replace single texts. A translation file has the form of a [Messages] section.
#pragma once

#include <string>
#include <vector>

// The tags of the shipped translations, sorted: "de", "es", ...
std::vector<std::string> ShippedLanguages();
// "de, es, fr, it, nl or pt-BR", for a message that lists them.
std::string ShippedLanguageList();
// The texts of the shipped translation `tag` in code page 1252, one for each MessageId,
// "" for one the file leaves to English; empty when there is no such translation.
// Throws std::runtime_error for a file that breaks a rule (which the tests hold every
// shipped file to).
std::vector<std::string> ShippedTexts(const std::string& tag);

// One line `NAME = "text"`: its name, and its text with each "\n" made a line break
// ("" stands for '"' in a quoted text, as everywhere in a script). Throws a script error
// naming `script` and `lineNumber` for a line of another form.
void ParseMessageLine(const std::string& line, const std::string& script, int lineNumber,
                      std::string* name, std::string* text);
// The line that ParseMessageLine reads back as `name` and `text`.
std::string MessageLine(const std::string& name, const std::string& text);
