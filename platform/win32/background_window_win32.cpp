// The full-screen background window over the Win32 API: a blue gradient with the
// package's title and bottom text, the owner of every dialog of the run.
#include "platform/background_window.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "platform/background_layout.h"
#include "platform/win32/system_library_win32.h"

namespace platform {
namespace {

const char kClassName[] = "TWKSetupWindow";
const char kWindowTitle[] = "Tarnwick Setup Utility";
// The run's end, posted by the run itself; private to the window class.
constexpr UINT kEndRunMessage = WM_APP + 1;
const char kFontFace[] = "Times New Roman";
constexpr int kShadowOffset = 5;

// Set once on the UI thread before the window exists.
const char* g_title = nullptr;
const char* g_bottomText = nullptr;
int g_startMessage = 0;
StartHandler g_handler = nullptr;
HINSTANCE g_instance = nullptr;

void DrawShadowText(HDC dc, const BackgroundText& text) {
  SetTextAlign(dc, text.bottomRight ? (TA_RIGHT | TA_BOTTOM) : (TA_LEFT | TA_TOP));
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutA(dc, text.x + kShadowOffset, text.y + kShadowOffset, text.text, text.length);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, text.x, text.y, text.text, text.length);
}

void PaintBands(HDC dc, int width, const BackgroundLayout& layout) {
  for (int i = 0; i < kBackgroundBandCount; ++i) {
    RECT band = {0, i * layout.bandHeight, width, (i + 1) * layout.bandHeight};
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, layout.bandBlue[i]));
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
}

void PaintBackground(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  BackgroundLayout layout;
  ComputeBackgroundLayout(client.right, client.bottom, g_title, g_bottomText, &layout);
  PaintBands(dc, client.right, layout);
  HFONT font = CreateFontA(layout.fontHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           PROOF_QUALITY, DEFAULT_PITCH | FF_ROMAN, kFontFace);
  HGDIOBJ previous = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < layout.textCount; ++i) DrawShadowText(dc, layout.texts[i]);
  SelectObject(dc, previous);
  DeleteObject(font);
  EndPaint(window, &paint);
}

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_PAINT) {
    PaintBackground(window);
    return 0;
  }
  if (message == kEndRunMessage) {
    // Ends the process without leaving the loop: the handler that posted the message may
    // still be on the stack below a modal loop. The first parameter carries the exit code.
    ExitProcess(static_cast<UINT>(first));
  }
  // A close from another program would end the run with no outcome, or say that one
  // that failed succeeded: the run ends only through its own dialogs.
  if (message == WM_CLOSE) return 0;
  if (g_handler != nullptr && message == static_cast<UINT>(g_startMessage)) {
    g_handler(g_instance, window);
    return 0;
  }
  return DefWindowProcA(window, message, first, second);
}

HWND CreateBackgroundWindow(HINSTANCE instance, bool shown) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = BackgroundWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassA(&windowClass) == 0) return nullptr;
  const DWORD style = WS_POPUP | (shown ? WS_VISIBLE : 0);
  return CreateWindowExA(0, kClassName, kWindowTitle, style, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                         nullptr, nullptr, instance, nullptr);
}

}  // namespace

void SetBackgroundTexts(const char* title, const char* bottomText) {
  g_title = title;
  g_bottomText = bottomText;
}

int RunBackgroundWindow(Instance instance, int startMessage, StartHandler handler, bool shown) {
  g_instance = static_cast<HINSTANCE>(instance);
  g_startMessage = startMessage;
  g_handler = handler;
  HWND window = CreateBackgroundWindow(g_instance, shown);
  if (window == nullptr) return -1;
  // Without them the wizard and the progress dialog cannot show; the run then ends as
  // one whose wizard was cancelled, with no dialog of its own to say so.
  LoadCommonControls();
  if (shown) {
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);
  }
  PostMessageA(window, static_cast<UINT>(startMessage), 0, 0);
  // The start message is handled inside the loop, after this: its handler needs OLE.
  OleInitialize(nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  OleUninitialize();
  return static_cast<int>(message.wParam);
}

void PostCloseMessage(Window background, uint32_t exitCode) {
  PostMessageA(static_cast<HWND>(background), kEndRunMessage, exitCode, 0);
}

void UpdateWindowNow(Window window) { UpdateWindow(static_cast<HWND>(window)); }

}  // namespace platform
