// The numbers of the texts the stub shows, one for each line of messages.inc, in its
// order: the number is a text's place in the texts `twk build` puts in the stub.
#pragma once

#include <stdint.h>

enum MessageId : uint16_t {
#define MESSAGE(name, ...) MSG_##name,
#define DIALOG_TEXT(name, ...) MSG_##name,
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
  kMessageCount
};
