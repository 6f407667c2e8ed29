// The setup wizard as a Win32 property sheet: one page record per page, all sharing one
// dialog procedure that turns the sheet's messages into wizard events.
#include "platform/wizard.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <stddef.h>
#include <string.h>

#include "platform/win32/program_texts_win32.h"
#include "platform/win32/system_library_win32.h"

namespace platform {
namespace {

const char kSheetCaption[] = "Property Sheet Title";
constexpr int kIconResource = 1;
constexpr int kPictureResource = 100;
constexpr int kDesignDpi = 96;  // the picture's pixels are drawn for this setting
constexpr int kBrowseButton = 1012;
constexpr int kMaxPages = 8;
// The frame's buttons, which the common controls label in Windows' own language.
constexpr int kFrameButtons[] = {0x3023, 0x3024, 0x3025, IDCANCEL};  // Back, Next, Finish

// The records are handed over in the size that ends with the header fields (48 and 52
// bytes on 32-bit Windows): every comctl32 since then takes them, and the fields after
// them are not used here. The sheet walks the page array by each record's size field, so
// the records must lie exactly that far apart, not sizeof(PROPSHEETPAGEA).
constexpr UINT kPageRecordSize =
    offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR);
constexpr UINT kSheetHeaderSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
#if defined(__i386__)
static_assert(kPageRecordSize == 48, "32-bit page record");
static_assert(kSheetHeaderSize == 52, "32-bit sheet header");
#endif

// The side picture's panel for `control`: the whole control filled with the colour of
// the picture's top-left pixel, the picture centred on it at the screen's scale. The
// static control of the common controls version 6 no longer fills the area round a
// centred picture itself, and at a higher DPI setting the picture would shrink in a
// panel that grows. nullptr when it cannot be made (the template's picture stays).
HBITMAP ComposePicture(HWND control) {
  RECT area;
  GetClientRect(control, &area);
  HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control, GWLP_HINSTANCE));
  HBITMAP picture = LoadBitmapA(module, MAKEINTRESOURCEA(kPictureResource));
  BITMAP size;
  if (picture == nullptr || GetObjectA(picture, sizeof size, &size) == 0) return nullptr;
  HDC screen = GetDC(nullptr);
  const int width = MulDiv(size.bmWidth, GetDeviceCaps(screen, LOGPIXELSX), kDesignDpi);
  const int height = MulDiv(size.bmHeight, GetDeviceCaps(screen, LOGPIXELSY), kDesignDpi);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP panel = CreateCompatibleBitmap(screen, area.right, area.bottom);
  HGDIOBJ oldFrom = SelectObject(from, picture);
  HGDIOBJ oldTo = SelectObject(to, panel);
  HBRUSH fill = CreateSolidBrush(GetPixel(from, 0, 0));
  FillRect(to, &area, fill);
  DeleteObject(fill);
  StretchBlt(to, (area.right - width) / 2, (area.bottom - height) / 2, width, height, from, 0, 0,
             size.bmWidth, size.bmHeight, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  DeleteObject(picture);
  return panel;
}

BOOL CALLBACK ReplacePicture(HWND control, LPARAM) {
  if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return TRUE;
  HBITMAP panel = ComposePicture(control);
  if (panel != nullptr) {
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(panel));
  }
  return FALSE;
}

// The panel made for the page is the page's to release.
BOOL CALLBACK ReleasePicture(HWND control, LPARAM) {
  if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return TRUE;
  DeleteObject(reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)));
  return FALSE;
}

// The page's WizardPage, kept in the page window from its creation on.
const WizardPage* PageOf(HWND page) {
  return reinterpret_cast<const WizardPage*>(GetWindowLongPtrA(page, DWLP_USER));
}

bool Notify(HWND page, WizardEvent event) {
  const WizardPage* wizardPage = PageOf(page);
  return wizardPage != nullptr && wizardPage->proc(page, event);
}

// The frame's buttons in the program's language, when it has its own texts for them.
void LabelFrameButtons(HWND page) {
  HWND sheet = GetParent(page);
  for (int button : kFrameButtons) {
    const char* text = DialogTextFor(0, button);
    if (text != nullptr) SetDlgItemTextA(sheet, button, text);
  }
}

INT_PTR StayOnPage(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR HandleNotification(HWND page, const NMHDR* header) {
  switch (header->code) {
    case PSN_SETACTIVE:
      LabelFrameButtons(page);
      Notify(page, WizardEvent::kActivate);
      break;
    // A page that keeps the user answers -1 to Back and Next (stay on this page) and
    // non-zero to Finish (the sheet stays open).
    case PSN_WIZBACK:
      if (!Notify(page, WizardEvent::kBack)) return StayOnPage(page, -1);
      break;
    case PSN_WIZNEXT:
      if (!Notify(page, WizardEvent::kNext)) return StayOnPage(page, -1);
      break;
    case PSN_WIZFINISH:
      if (!Notify(page, WizardEvent::kFinish)) return StayOnPage(page, TRUE);
      break;
    case PSN_QUERYCANCEL: {
      const bool allowed = Notify(page, WizardEvent::kQueryCancel);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, allowed ? 0 : 1);
      return TRUE;
    }
    default:
      return FALSE;
  }
  // Leaving the page and activating it go on as the sheet planned.
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
  return TRUE;
}

INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_INITDIALOG: {
      const PROPSHEETPAGEA* record = reinterpret_cast<const PROPSHEETPAGEA*>(second);
      SetWindowLongPtrA(page, DWLP_USER, record->lParam);
      ApplyDialogTexts(page, reinterpret_cast<const WizardPage*>(record->lParam)->dialog);
      EnumChildWindows(page, ReplacePicture, 0);
      Notify(page, WizardEvent::kCreate);
      return TRUE;
    }
    case WM_DESTROY:
      EnumChildWindows(page, ReleasePicture, 0);
      return FALSE;
    case WM_NOTIFY:
      return HandleNotification(page, reinterpret_cast<const NMHDR*>(second));
    case WM_COMMAND:
      if (LOWORD(first) == kBrowseButton && HIWORD(first) == BN_CLICKED) {
        Notify(page, WizardEvent::kBrowse);
        return TRUE;
      }
      return FALSE;
    case WM_SHOWWINDOW:
      Notify(page, WizardEvent::kShown);
      return FALSE;
    default:
      return FALSE;
  }
}

void FillPageRecord(PROPSHEETPAGEA* record, HINSTANCE instance, const WizardPage* page) {
  memset(record, 0, sizeof *record);
  record->dwSize = kPageRecordSize;
  record->dwFlags = PSP_USEICONID;
  // The page's title is its template's caption unless the program has its own.
  record->pszTitle = DialogTextFor(page->dialog, 0);
  if (record->pszTitle != nullptr) record->dwFlags |= PSP_USETITLE;
  record->hInstance = instance;
  record->pszTemplate = MAKEINTRESOURCEA(page->dialog);
  record->pszIcon = MAKEINTRESOURCEA(kIconResource);
  record->pfnDlgProc = PageDialogProc;
  record->lParam = reinterpret_cast<LPARAM>(page);
}

HWND ControlOf(Window page, int control) {
  return GetDlgItem(static_cast<HWND>(page), control);
}

}  // namespace

bool RunWizard(Instance instance, Window owner, const WizardPage* pages, int count) {
  if (count <= 0 || count > kMaxPages) return false;
  HINSTANCE module = static_cast<HINSTANCE>(instance);
  // Packed records, kPageRecordSize bytes each; pointer-aligned since the size is a
  // multiple of the pointer size.
  static_assert(kPageRecordSize % sizeof(void*) == 0, "records stay aligned");
  alignas(PROPSHEETPAGEA) unsigned char records[kMaxPages * kPageRecordSize];
  for (int i = 0; i < count; ++i) {
    PROPSHEETPAGEA record;
    FillPageRecord(&record, module, &pages[i]);
    memcpy(records + i * kPageRecordSize, &record, kPageRecordSize);
  }

  PROPSHEETHEADERA header;
  memset(&header, 0, sizeof header);
  header.dwSize = kSheetHeaderSize;
  header.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
  header.hwndParent = static_cast<HWND>(owner);
  header.hInstance = module;
  header.pszIcon = MAKEINTRESOURCEA(kIconResource);
  header.pszCaption = kSheetCaption;
  header.nPages = static_cast<UINT>(count);
  header.nStartPage = 0;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(records);
  // 0 is a cancel, -1 a sheet that could not be shown: neither is a Finish.
  return ShowPropertySheet(&header) > 0;
}

void SetWizardButtons(Window page, uint32_t buttons) {
  PostMessageA(GetParent(static_cast<HWND>(page)), PSM_SETWIZBUTTONS, 0,
               static_cast<LPARAM>(buttons));
}

void SetPageText(Window page, int control, const char* text) {
  SetWindowTextA(ControlOf(page, control), text != nullptr ? text : "");
}

void GetPageText(Window page, int control, char* out, uint32_t size) {
  if (size == 0) return;
  out[0] = '\0';
  // GetWindowTextA copies at most size - 1 characters and always terminates.
  GetWindowTextA(ControlOf(page, control), out, static_cast<int>(size));
}

void EnablePageControl(Window page, int control, bool enable) {
  EnableWindow(ControlOf(page, control), enable ? TRUE : FALSE);
}

bool BrowseForFolder(Window owner, const char* title, char* out, uint32_t size) {
  if (size == 0) return false;
  char displayName[MAX_PATH];
  BROWSEINFOA info;
  memset(&info, 0, sizeof info);
  info.hwndOwner = static_cast<HWND>(owner);
  info.pszDisplayName = displayName;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return false;
  char path[MAX_PATH];
  const bool found = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  // A folder that does not fit the caller's buffer is no answer rather than a cut one.
  if (!found || strlen(path) >= size) return false;
  memcpy(out, path, strlen(path) + 1);
  return true;
}

void CenterWizard(Window page) {
  HWND sheet = GetParent(static_cast<HWND>(page));
  HWND owner = GetWindow(sheet, GW_OWNER);
  RECT area;
  if (owner != nullptr) {
    GetClientRect(owner, &area);
  } else {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT outer;
  GetWindowRect(sheet, &outer);
  const int x = (area.right - (outer.right - outer.left) - 1) / 2;
  const int y = (area.bottom - (outer.bottom - outer.top) - 1) / 2;
  SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform
