// The C library's memory allocation for the stub, over the process heap, which
// serialises the calls of the progress dialog's worker thread with the others.
#include <stddef.h>
#include <windows.h>

extern "C" {

void* malloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void free(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

void* realloc(void* block, size_t size) {
  if (block == nullptr) return malloc(size);
  return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

}  // extern "C"
