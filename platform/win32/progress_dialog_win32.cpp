// The progress dialog (112) over the Win32 API: a modal dialog on the UI thread whose
// worker thread does the run and drives the controls by window messages.
#include "platform/progress_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/program_texts_win32.h"

namespace platform {
namespace {

constexpr int kProgressDialog = 112;
constexpr UINT kStartExtractionMessage = WM_USER + 80;  // 1104, posted to itself
// Asks the dialog's own thread to end the dialog. EndDialog called from the worker would
// only mark the dialog as ended: the modal loop runs on the UI thread and would not see
// the mark before some other message woke it, and Windows 9x does not promise EndDialog
// from another thread at all. A posted message both wakes the loop and runs EndDialog
// where it belongs.
constexpr UINT kEndDialogMessage = WM_USER + 81;

// Lives on RunProgressDialog's stack until the dialog has ended, which the worker does
// as its last act, so the worker never outlives it in use.
struct ProgressRun {
  ProgressWorker worker;
  CancelHandler onCancel;
  HWND dialog;
};

DWORD WINAPI WorkerThread(LPVOID parameter) {
  ProgressRun* run = static_cast<ProgressRun*>(parameter);
  run->worker(run->dialog);
  return 0;
}

ProgressRun* RunOf(HWND dialog) {
  return reinterpret_cast<ProgressRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void StartWorker(HWND dialog) {
  ProgressRun* run = RunOf(dialog);
  if (run == nullptr || run->dialog != nullptr) return;  // one worker per dialog
  run->dialog = dialog;
  HANDLE thread = CreateThread(nullptr, 0, WorkerThread, run, 0, nullptr);
  if (thread == nullptr) {
    // Without a worker nobody would end the dialog.
    EndDialog(dialog, 0);
    return;
  }
  CloseHandle(thread);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, second);
      ApplyDialogTexts(dialog, kProgressDialog);
      PostMessageA(dialog, kStartExtractionMessage, 0, 0);
      return FALSE;
    case kStartExtractionMessage:
      StartWorker(dialog);
      return TRUE;
    case kEndDialogMessage:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(first) == kProgressCancelButton && HIWORD(first) == 0) {
        ProgressRun* run = RunOf(dialog);
        if (run != nullptr && run->onCancel != nullptr) run->onCancel();
      }
      return TRUE;
    default:
      return FALSE;
  }
}

HWND ControlOf(Window dialog, int control) {
  return GetDlgItem(static_cast<HWND>(dialog), control);
}

// The dialog's number and the path it shows, for its WM_INITDIALOG.
struct OverwriteQuestion {
  int dialog;
  const char* path;
};

INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_INITDIALOG: {
      const OverwriteQuestion* question = reinterpret_cast<const OverwriteQuestion*>(second);
      ApplyDialogTexts(dialog, question->dialog);
      SetDlgItemTextA(dialog, 1007, question->path);
      return FALSE;
    }
    case WM_COMMAND:
      if (HIWORD(first) == 0) EndDialog(dialog, LOWORD(first));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunProgressDialog(Instance instance, Window owner, ProgressWorker worker,
                       CancelHandler onCancel) {
  ProgressRun run = {worker, onCancel, nullptr};
  DialogBoxParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(kProgressDialog),
                  static_cast<HWND>(owner), ProgressDialogProc,
                  reinterpret_cast<LPARAM>(&run));
}

void EndProgressDialog(Window dialog) {
  // Without a window the message would go to the thread's own queue.
  if (dialog == nullptr) return;
  PostMessageA(static_cast<HWND>(dialog), kEndDialogMessage, 0, 0);
}

// The calls below come from the worker: SendMessage and the calls built on it are carried
// out by the dialog's thread, which is free while the worker runs.
void SetControlText(Window dialog, int control, const char* text) {
  SetDlgItemTextA(static_cast<HWND>(dialog), control, text != nullptr ? text : "");
}

void ShowControl(Window dialog, int control, bool show) {
  ShowWindow(ControlOf(dialog, control), show ? SW_SHOW : SW_HIDE);
}

void SetProgressRange(Window dialog, int bar, uint32_t maximum) {
  HWND control = ControlOf(dialog, bar);
  if (maximum <= 0xFFFF) {
    // The 16-bit form is the one every comctl32 knows.
    SendMessageA(control, PBM_SETRANGE, 0, MAKELPARAM(0, maximum));
  } else {
    SendMessageA(control, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
  }
}

void SetProgressPosition(Window dialog, int bar, uint32_t position) {
  SendMessageA(ControlOf(dialog, bar), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void StepProgress(Window dialog, int bar) {
  SendMessageA(ControlOf(dialog, bar), PBM_DELTAPOS, 1, 0);
}

int RunOverwriteDialog(Instance instance, Window owner, int dialog, const char* path) {
  OverwriteQuestion question = {dialog, path != nullptr ? path : ""};
  const INT_PTR pressed = DialogBoxParamA(
      static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(dialog), static_cast<HWND>(owner),
      OverwriteDialogProc, reinterpret_cast<LPARAM>(&question));
  // A dialog that could not be shown answers as Esc would: nothing gets overwritten
  // without the user's word.
  return pressed <= 0 ? kProgressCancelButton : static_cast<int>(pressed);
}

}  // namespace platform
