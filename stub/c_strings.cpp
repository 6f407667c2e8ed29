// The C library's memory and text functions that the stub's code, and the compiler on
// its behalf, call: the stub links no C runtime, so that only what it uses is in it.
// Compiled with TWK_C_LIBRARY_OPTIONS (stub/CMakeLists.txt); the host's tests build this
// file under other names.
#include <stddef.h>

extern "C" {

// One string instruction each: small, and fast on long runs with current processors.
// The direction flag is clear at every call.
void* memcpy(void* to, const void* from, size_t count) {
  void* out = to;
  asm volatile("rep movsb" : "+D"(out), "+S"(from), "+c"(count) : : "memory");
  return to;
}

void* memset(void* to, int value, size_t count) {
  void* out = to;
  asm volatile("rep stosb" : "+D"(out), "+c"(count) : "a"(value) : "memory");
  return to;
}

// A word of any alignment, which may alias anything.
typedef size_t __attribute__((may_alias, aligned(1))) LooseWord;

void* memmove(void* to, const void* from, size_t count) {
  char* out = static_cast<char*>(to);
  const char* in = static_cast<const char*>(from);
  if (out <= in || out >= in + count) return memcpy(to, from, count);
  // The target overlaps the source from behind, as when the decoder's move-to-front list
  // moves for every code beyond its first few: copy from the end a word at a time (each
  // is read before a store can reach it), then the bytes left at the front.
  for (; count >= sizeof(LooseWord); count -= sizeof(LooseWord)) {
    const size_t at = count - sizeof(LooseWord);
    *reinterpret_cast<LooseWord*>(out + at) = *reinterpret_cast<const LooseWord*>(in + at);
  }
  while (count-- > 0) out[count] = in[count];
  return to;
}

void* memchr(const void* block, int value, size_t count) {
  const unsigned char* at = static_cast<const unsigned char*>(block);
  for (; count > 0; --count, ++at) {
    if (*at == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(at);
  }
  return nullptr;
}

size_t strlen(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

size_t strnlen(const char* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != '\0') ++length;
  return length;
}

char* strchr(const char* text, int c) {
  for (;; ++text) {
    if (*text == static_cast<char>(c)) return const_cast<char*>(text);
    if (*text == '\0') return nullptr;
  }
}

char* strrchr(const char* text, int c) {
  const char* found = nullptr;
  for (;; ++text) {
    if (*text == static_cast<char>(c)) found = text;
    if (*text == '\0') return const_cast<char*>(found);
  }
}

int strcmp(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

char* strncpy(char* to, const char* from, size_t count) {
  size_t i = 0;
  for (; i < count && from[i] != '\0'; ++i) to[i] = from[i];
  for (; i < count; ++i) to[i] = '\0';
  return to;
}

}  // extern "C"
