// The texts the program shows: the English ones it is built with, or the translations
// `twk build` put in its file (base/message_section.h).
#pragma once

#include "base/messages.h"

// Finds the program's own texts and hands the dialogs theirs. Called once, first thing:
// until then, and when the file carries none, every text is English.
void LoadMessages();

// The text to show for `id`: the file's translation, or the English text. A translation
// whose placeholders differ from the English text's is not used (its arguments would not
// match). The text of a dialog template's control is "" when the file has none for it:
// the template's own stands.
const char* Text(MessageId id);
