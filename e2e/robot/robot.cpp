// The end-to-end robot: reads a step file and plays it against the windows of the program
// under test, the way a person at the keyboard would, but only through window messages.
// It stops at the first step that fails, with a message naming the step, and exits 1, so
// that the runner never mistakes a stuck installer for a finished one.
//
// Steps, one a line (blank lines and lines starting with '#' are skipped), in UTF-8, which
// the robot turns into the ANSI code page the program's windows use:
//   wait CAPTION [TIMEOUT_S]   a visible top-level window titled exactly CAPTION appears;
//                              it becomes the current window
//   gone CAPTION [TIMEOUT_S]   no visible top-level window is titled CAPTION any more
//   closed [TIMEOUT_S]         the current window has been destroyed (the next window with
//                              the same caption is then another one)
//   expect-text TEXT           some child control of the current window shows exactly TEXT
//   expect-lines TEXT          the same, with each "\n" in TEXT standing for a line break
//   expect-control ID TEXT     the current window's control ID (a child's child too, such
//                              as a wizard page's) shows exactly TEXT: a control found by
//                              its id, whatever language its label is in; waited for a
//                              few seconds, since a page's buttons are set by a posted
//                              message after its title shows
//   click ID                   BN_CLICKED for control ID (decimal or 0x..) of the current window
//   click-text LABEL           BN_CLICKED for the current window's button labelled LABEL
//                              ('&' mnemonics ignored)
//   set-text ID TEXT           replaces the text of the current window's control ID
//   wizard-next / wizard-finish   the property sheet's Next / Finish button
//   hold PATH                  opens the file PATH sharing nothing, as a program that has
//                              it in use would, until `release PATH` or the robot's end
//   release PATH               closes what `hold PATH` opened
//   copy-file FROM TO          copies a file, replacing TO (a disk put into its drive)
//   screenshot PATH.bmp        saves what the screen shows as a 24-bit bitmap
//   run-quiet CODE COMMAND     starts COMMAND (a command line, or "@quiet-uninstall KEY":
//                              the QuietUninstallString of the Add/Remove Programs entry
//                              KEY) and waits for it; fails when a window shows before it
//                              has ended, or when it does not end with exit code CODE
//   run-quiet-closed CODE COMMAND   run-quiet, and as soon as the program has a window
//                              (shown or not, of the installer's window class), posts
//                              WM_CLOSE to it as another program might; fails when it
//                              never had one
//   start COMMAND              starts COMMAND (a command line, or "@uninstall KEY": the
//                              UninstallString of the entry KEY, as Add/Remove Programs
//                              starts it) and goes on with the next step
//   sleep MS
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

constexpr int kDefaultTimeoutSeconds = 30;
constexpr int kMaxTimeoutSeconds = 600;
constexpr DWORD kPollMs = 100;
constexpr DWORD kControlSettleMs = 5000;  // expect-control's wait for a posted change
constexpr int kWizardNext = 0x3024;
constexpr int kWizardFinish = 0x3025;
constexpr int kLineSize = 1024;
constexpr int kTextSize = 1024;
constexpr DWORD kQuietRunLimitMs = 300000;
constexpr int kMaxWindows = 512;
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

HWND g_current = nullptr;

constexpr int kMaxHeld = 8;
struct HeldFile {
  char path[MAX_PATH];
  HANDLE handle;
};
HeldFile g_held[kMaxHeld] = {};

struct TextSearch {
  const char* text;   // the text looked for
  bool ignoreMnemonic;
  HWND found;
};

// Copies `in` into `out` (at most `size` bytes, always terminated) without the '&' marks
// that underline a button's access key; "&&" stays one '&'.
void StripMnemonic(const char* in, char* out, size_t size) {
  size_t n = 0;
  for (; *in != '\0' && n + 1 < size; ++in) {
    if (*in == '&') {
      if (in[1] != '&') continue;
      ++in;
    }
    out[n++] = *in;
  }
  out[n] = '\0';
}

// GetWindowTextA does not ask a window of another process: an edit control keeps its text
// to itself, so the text is asked for with WM_GETTEXT (bounded, in case the program hangs).
void ReadText(HWND window, char* text, size_t size) {
  text[0] = '\0';
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    text[0] = '\0';
  }
  text[size - 1] = '\0';
}

bool TextMatches(HWND window, const TextSearch& search) {
  char text[kTextSize];
  ReadText(window, text, sizeof text);
  if (!search.ignoreMnemonic) return strcmp(text, search.text) == 0;
  char plain[kTextSize];
  StripMnemonic(text, plain, sizeof plain);
  return strcmp(plain, search.text) == 0;
}

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TextSearch*>(param);
  if (!IsWindowVisible(window) || !TextMatches(window, *search)) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TextSearch*>(param);
  if (!TextMatches(window, *search)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevelWindow(const char* caption) {
  TextSearch search = {caption, false, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// EnumChildWindows walks grandchildren too, so a wizard page's controls are found
// through the property sheet.
HWND FindChildWindow(HWND parent, const char* text, bool ignoreMnemonic) {
  TextSearch search = {text, ignoreMnemonic, nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Splits "CAPTION [TIMEOUT_S]": a trailing all-digit word is the timeout. `args` is
// changed in place. The timeout is bounded so that a typo cannot hang the run.
int SplitTimeout(char* args) {
  char* space = strrchr(args, ' ');
  if (space == nullptr || space[1] == '\0') return kDefaultTimeoutSeconds;
  for (const char* p = space + 1; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return kDefaultTimeoutSeconds;
  }
  const int seconds = atoi(space + 1);
  *space = '\0';
  if (seconds <= 0) return 1;
  return seconds > kMaxTimeoutSeconds ? kMaxTimeoutSeconds : seconds;
}

bool ParseId(const char* text, int* id) {
  char* end = nullptr;
  const long value = strtol(text, &end, 0);
  if (end == text || value < 0 || value > 0xFFFF) return false;
  while (*end == ' ') ++end;
  if (*end != '\0') return false;
  *id = static_cast<int>(value);
  return true;
}

bool Fail(const char* format, const char* detail) {
  fprintf(stdout, "robot: FAILED: ");
  fprintf(stdout, format, detail);
  fprintf(stdout, "\n");
  return false;
}

bool NeedCurrent(const char* step) {
  if (g_current != nullptr && IsWindow(g_current)) return true;
  return Fail("%s: no current window (a wait must come first, and its window must be open)",
              step);
}

bool StepWait(char* args, bool appear) {
  const int seconds = SplitTimeout(args);
  const DWORD start = GetTickCount();
  const DWORD limit = static_cast<DWORD>(seconds) * 1000;
  for (;;) {
    HWND window = FindTopLevelWindow(args);
    if (appear && window != nullptr) {
      g_current = window;
      return true;
    }
    if (!appear && window == nullptr) return true;
    if (GetTickCount() - start >= limit) break;
    Sleep(kPollMs);
  }
  return Fail(appear ? "no window \"%s\" appeared in time" : "window \"%s\" stayed open", args);
}

bool StepClosed(char* args) {
  if (!NeedCurrent("closed")) return false;
  const int seconds = args[0] != '\0' ? atoi(args) : kDefaultTimeoutSeconds;
  const DWORD limit = static_cast<DWORD>(seconds > 0 ? seconds : 1) * 1000;
  const DWORD start = GetTickCount();
  while (IsWindow(g_current)) {
    if (GetTickCount() - start >= limit) return Fail("the current window %s stayed open", "");
    Sleep(kPollMs);
  }
  g_current = nullptr;
  return true;
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
  char text[kTextSize];
  ReadText(window, text, sizeof text);
  if (text[0] != '\0') fprintf(stdout, "robot:   control %d: \"%s\"\n", GetDlgCtrlID(window), text);
  return TRUE;
}

// The texts shown beside a failure, so that a changed wording is seen at once.
bool StepExpectText(const char* text) {
  if (!NeedCurrent("expect-text")) return false;
  if (FindChildWindow(g_current, text, false) != nullptr) return true;
  Fail("the current window shows no control with text \"%s\"", text);
  EnumChildWindows(g_current, PrintChild, 0);
  return false;
}

// Turns each "\n" of `text` into a line break, in place.
void UnescapeLineBreaks(char* text) {
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in) {
    if (in[0] == '\\' && in[1] == 'n') {
      *out++ = '\n';
      ++in;
    } else {
      *out++ = *in;
    }
  }
  *out = '\0';
}

bool PostClick(int id) {
  if (!NeedCurrent("click")) return false;
  HWND control = GetDlgItem(g_current, id);
  PostMessageA(g_current, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
  return true;
}

bool StepClick(const char* args) {
  int id = 0;
  if (!ParseId(args, &id)) return Fail("click: \"%s\" is not a control id", args);
  return PostClick(id);
}

bool StepClickText(const char* label) {
  if (!NeedCurrent("click-text")) return false;
  HWND button = FindChildWindow(g_current, label, true);
  if (button == nullptr) return Fail("the current window has no button \"%s\"", label);
  const int id = GetDlgCtrlID(button);
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return true;
}

// The text is sent, not posted, so that it is in place before the next step presses a
// button that reads it.
// The visible control `id` among the current window's children and their children.
HWND FindVisibleControl(int id) {
  struct IdSearch {
    int id;
    HWND found;
  } search = {id, nullptr};
  EnumChildWindows(
      g_current,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<IdSearch*>(param);
        if (GetDlgCtrlID(window) != s->id || !IsWindowVisible(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool StepSetText(char* args) {
  if (!NeedCurrent("set-text")) return false;
  char* space = strchr(args, ' ');
  const char* text = space != nullptr ? space + 1 : "";
  if (space != nullptr) *space = '\0';
  int id = 0;
  if (!ParseId(args, &id)) return Fail("set-text: \"%s\" is not a control id", args);
  HWND control = FindVisibleControl(id);
  if (control == nullptr) return Fail("set-text: no visible control %s", args);
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  return true;
}

bool StepExpectControl(char* args) {
  if (!NeedCurrent("expect-control")) return false;
  char* space = strchr(args, ' ');
  const char* text = space != nullptr ? space + 1 : "";
  if (space != nullptr) *space = '\0';
  int id = 0;
  if (!ParseId(args, &id)) return Fail("expect-control: \"%s\" is not a control id", args);
  HWND control = nullptr;
  char shown[kTextSize] = "";
  const DWORD start = GetTickCount();
  for (;;) {
    control = FindVisibleControl(id);
    if (control != nullptr) {
      ReadText(control, shown, sizeof shown);
      if (strcmp(shown, text) == 0) return true;
    }
    if (GetTickCount() - start >= kControlSettleMs) break;
    Sleep(kPollMs);
  }
  if (control == nullptr) return Fail("expect-control: no visible control %s", args);
  Fail("expect-control: the control shows \"%s\"", shown);
  return Fail("expect-control: expected \"%s\"", text);
}

bool StepHold(const char* path) {
  for (HeldFile& held : g_held) {
    if (held.handle != nullptr) continue;
    HANDLE handle = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Fail("hold: cannot open %s", path);
    snprintf(held.path, sizeof held.path, "%s", path);
    held.handle = handle;
    return true;
  }
  return Fail("hold: too many files held (%s)", path);
}

bool StepRelease(const char* path) {
  for (HeldFile& held : g_held) {
    if (held.handle == nullptr || lstrcmpiA(held.path, path) != 0) continue;
    CloseHandle(held.handle);
    held.handle = nullptr;
    return true;
  }
  return Fail("release: %s is not held", path);
}

// "FROM TO": the paths are split at the first blank, so FROM must not hold one.
bool StepCopyFile(char* args) {
  char* space = strchr(args, ' ');
  if (space == nullptr) return Fail("copy-file: \"%s\" names no target", args);
  *space = '\0';
  if (!CopyFileA(args, space + 1, FALSE)) return Fail("copy-file: cannot copy %s", args);
  return true;
}

// The whole screen (under Wine's virtual desktop, the desktop window with every window
// on it) read back through GDI and written bottom-up as BITMAPFILEHEADER + BITMAPINFOHEADER
// + 24-bit rows padded to 4 bytes.
bool StepScreenshot(const char* path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  char* pixels = static_cast<char*>(malloc(imageSize));
  const bool read = pixels != nullptr &&
                    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels,
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!read) {
    free(pixels);
    return Fail("screenshot: the screen could not be read (%s)", path);
  }

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageSize;
  FILE* out = fopen(path, "wb");
  bool written = out != nullptr && fwrite(&file, sizeof file, 1, out) == 1 &&
                 fwrite(&info, sizeof info, 1, out) == 1 &&
                 fwrite(pixels, imageSize, 1, out) == 1;
  if (out != nullptr && fclose(out) != 0) written = false;
  free(pixels);
  return written ? true : Fail("screenshot: cannot write %s", path);
}

// The visible top-level windows, to tell a window that a quiet program shows from those
// that were there before it started.
struct WindowSet {
  HWND windows[kMaxWindows];
  int count;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  auto* set = reinterpret_cast<WindowSet*>(param);
  if (IsWindowVisible(window) && set->count < kMaxWindows) set->windows[set->count++] = window;
  return TRUE;
}

void VisibleWindows(WindowSet* set) {
  set->count = 0;
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(set));
}

HWND NewWindow(const WindowSet& before) {
  WindowSet now;
  VisibleWindows(&now);
  for (int i = 0; i < now.count; ++i) {
    bool known = false;
    for (int j = 0; j < before.count && !known; ++j) known = now.windows[i] == before.windows[j];
    if (!known) return now.windows[i];
  }
  return nullptr;
}

// "@quiet-uninstall KEY" becomes the entry's QuietUninstallString, as deployment tools
// read and run it, "@uninstall KEY" its UninstallString, as Add/Remove Programs runs it:
// the value is the whole command line, handed to CreateProcess as it stands.
bool ResolveCommand(const char* command, char* line, DWORD size) {
  const char kQuiet[] = "@quiet-uninstall ";
  const char kInteractive[] = "@uninstall ";
  const char* value = nullptr;
  const char* name = nullptr;
  if (strncmp(command, kQuiet, sizeof kQuiet - 1) == 0) {
    value = "QuietUninstallString";
    name = command + sizeof kQuiet - 1;
  } else if (strncmp(command, kInteractive, sizeof kInteractive - 1) == 0) {
    value = "UninstallString";
    name = command + sizeof kInteractive - 1;
  } else {
    snprintf(line, size, "%s", command);
    return true;
  }
  char key[MAX_PATH];
  snprintf(key, sizeof key, "%s%s", kUninstallKey, name);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  const LONG read =
      RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(line), &size);
  RegCloseKey(opened);
  return read == ERROR_SUCCESS && type == REG_SZ;
}

// Starts the command line `line` (written to by CreateProcess); false when it cannot.
bool StartCommand(char* line, PROCESS_INFORMATION* started) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  *started = {};
  return CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        started) != FALSE;
}

bool StepStart(const char* args) {
  char line[kLineSize] = {};
  if (!ResolveCommand(args, line, sizeof line)) return Fail("start: no such entry: %s", args);
  PROCESS_INFORMATION started;
  if (!StartCommand(line, &started)) return Fail("start: cannot start %s", line);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

struct ProcessWindow {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
  ProcessWindow* wanted = reinterpret_cast<ProcessWindow*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  // The installer's own window, not one that a library it loaded made.
  if (owner != wanted->processId || strcmp(className, "TWKSetupWindow") != 0) return TRUE;
  wanted->found = window;
  return FALSE;
}

bool StepRunQuiet(char* args, bool closeIt) {
  char* space = strchr(args, ' ');
  if (space == nullptr) return Fail("run-quiet: \"%s\" names no command", args);
  *space = '\0';
  const unsigned long expected = strtoul(args, nullptr, 10);
  char line[kLineSize] = {};
  if (!ResolveCommand(space + 1, line, sizeof line)) {
    return Fail("run-quiet: no QuietUninstallString for %s", space + 1);
  }
  WindowSet before;
  VisibleWindows(&before);
  PROCESS_INFORMATION started;
  if (!StartCommand(line, &started)) return Fail("run-quiet: cannot start %s", line);
  CloseHandle(started.hThread);
  const DWORD start = GetTickCount();
  bool ok = true;
  ProcessWindow closed = {started.dwProcessId, nullptr};
  // The program's window may live for a moment only: look for it as often as can be.
  const DWORD pollMs = closeIt ? 1 : kPollMs / 2;
  while (ok && WaitForSingleObject(started.hProcess, pollMs) == WAIT_TIMEOUT) {
    if (closeIt && closed.found == nullptr) {
      EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&closed));
      if (closed.found != nullptr) PostMessageA(closed.found, WM_CLOSE, 0, 0);
    }
    char caption[kTextSize];
    HWND shown = NewWindow(before);
    if (shown != nullptr) {
      ReadText(shown, caption, sizeof caption);
      ok = Fail("run-quiet: a window \"%s\" showed", caption);
    } else if (GetTickCount() - start >= kQuietRunLimitMs) {
      ok = Fail("run-quiet: %s did not end in time", line);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  if (!ok) return false;
  if (closeIt && closed.found == nullptr) {
    return Fail("run-quiet-closed: %s ended before it had a window", line);
  }
  if (code != expected) {
    char detail[64];
    snprintf(detail, sizeof detail, "%lu, not %lu", static_cast<unsigned long>(code), expected);
    return Fail("run-quiet: the program ended with exit code %s", detail);
  }
  return true;
}

// Trims the line end and returns the step's name; *args points at what follows it.
// Turns the UTF-8 `line` into the ANSI code page in place; a line that is no UTF-8 stays
// as it is.
void ToAnsiCodePage(char* line, size_t size) {
  wchar_t wide[kLineSize];
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line, -1, wide, kLineSize);
  if (count <= 0) return;
  char ansi[kLineSize];
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr) <= 0) return;
  snprintf(line, size, "%s", ansi);
}

char* SplitStep(char* line, char** args) {
  size_t length = strlen(line);
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r' ||
                        line[length - 1] == ' ')) {
    line[--length] = '\0';
  }
  while (*line == ' ' || *line == '\t') ++line;
  char* space = strchr(line, ' ');
  if (space == nullptr) {
    *args = line + strlen(line);
  } else {
    *space = '\0';
    *args = space + 1;
  }
  return line;
}

bool RunStep(const char* name, char* args) {
  if (strcmp(name, "wait") == 0) return StepWait(args, true);
  if (strcmp(name, "gone") == 0) return StepWait(args, false);
  if (strcmp(name, "closed") == 0) return StepClosed(args);
  if (strcmp(name, "expect-text") == 0) return StepExpectText(args);
  if (strcmp(name, "expect-lines") == 0) {
    UnescapeLineBreaks(args);
    return StepExpectText(args);
  }
  if (strcmp(name, "expect-control") == 0) return StepExpectControl(args);
  if (strcmp(name, "click") == 0) return StepClick(args);
  if (strcmp(name, "click-text") == 0) return StepClickText(args);
  if (strcmp(name, "set-text") == 0) return StepSetText(args);
  if (strcmp(name, "wizard-next") == 0) return PostClick(kWizardNext);
  if (strcmp(name, "wizard-finish") == 0) return PostClick(kWizardFinish);
  if (strcmp(name, "hold") == 0) return StepHold(args);
  if (strcmp(name, "release") == 0) return StepRelease(args);
  if (strcmp(name, "copy-file") == 0) return StepCopyFile(args);
  if (strcmp(name, "screenshot") == 0) return StepScreenshot(args);
  if (strcmp(name, "run-quiet") == 0) return StepRunQuiet(args, false);
  if (strcmp(name, "run-quiet-closed") == 0) return StepRunQuiet(args, true);
  if (strcmp(name, "start") == 0) return StepStart(args);
  if (strcmp(name, "sleep") == 0) {
    Sleep(static_cast<DWORD>(atoi(args)));
    return true;
  }
  return Fail("unknown step \"%s\"", name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: robot STEP-FILE\n");
    return 2;
  }
  FILE* file = fopen(argv[1], "r");
  if (file == nullptr) {
    fprintf(stderr, "robot: cannot open %s\n", argv[1]);
    return 2;
  }
  char line[kLineSize];
  int number = 0;
  bool ok = true;
  while (ok && fgets(line, sizeof line, file) != nullptr) {
    ++number;
    ToAnsiCodePage(line, sizeof line);
    char* args = nullptr;
    char* name = SplitStep(line, &args);
    if (name[0] == '\0' || name[0] == '#') continue;
    fprintf(stdout, "robot: %d: %s %s\n", number, name, args);
    fflush(stdout);
    ok = RunStep(name, args);
  }
  fclose(file);
  for (HeldFile& held : g_held) {
    if (held.handle != nullptr) CloseHandle(held.handle);
  }
  fflush(stdout);
  return ok ? 0 : 1;
}
