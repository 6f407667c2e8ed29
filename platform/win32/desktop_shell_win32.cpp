// The desktop's shell, reached as its automation object: the window list gives the
// desktop's view, the view its folder object, the folder object the shell application,
// whose ShellExecute runs in the desktop's process.
#include "platform/win32/desktop_shell_win32.h"

#include <string.h>
#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include "platform/win32/system_library_win32.h"

namespace platform {
namespace {

// The texts the automation object takes are counted wide strings of the automation
// library, which the stub does not import.
struct Strings {
  decltype(&SysAllocString) allocate;
  decltype(&SysFreeString) release;
};

bool LoadStrings(Strings* strings) {
  HMODULE automation = LoadSystemLibrary("oleaut32.dll");
  if (automation == nullptr) return false;
  strings->allocate = reinterpret_cast<decltype(&SysAllocString)>(
      reinterpret_cast<void (*)()>(GetProcAddress(automation, "SysAllocString")));
  strings->release = reinterpret_cast<decltype(&SysFreeString)>(
      reinterpret_cast<void (*)()>(GetProcAddress(automation, "SysFreeString")));
  return strings->allocate != nullptr && strings->release != nullptr;
}

// `text` in the system code page as a counted wide string; nullptr when it cannot be.
BSTR WideString(const Strings& strings, const char* text) {
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH) == 0) return nullptr;
  return strings.allocate(wide);
}

// Asks `from` for `id`, releasing it: one step of the walk to the shell application.
template <typename To, typename From>
To* Next(From* from, REFIID id) {
  To* to = nullptr;
  if (from == nullptr) return nullptr;
  if (FAILED(from->QueryInterface(id, reinterpret_cast<void**>(&to)))) to = nullptr;
  from->Release();
  return to;
}

// The desktop window's folder view, as an automation object; nullptr when there is none.
IDispatch* DesktopFolderView() {
  IShellWindows* windows = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              reinterpret_cast<void**>(&windows)))) {
    return nullptr;
  }
  VARIANT location;
  VARIANT root;
  memset(&location, 0, sizeof location);
  memset(&root, 0, sizeof root);
  location.vt = VT_I4;
  location.lVal = CSIDL_DESKTOP;
  long window = 0;
  IDispatch* desktop = nullptr;
  const HRESULT found =
      windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
  windows->Release();
  if (found != S_OK) desktop = nullptr;
  IServiceProvider* services = Next<IServiceProvider>(desktop, IID_IServiceProvider);
  IShellBrowser* browser = nullptr;
  if (services != nullptr) {
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                      reinterpret_cast<void**>(&browser)))) {
      browser = nullptr;
    }
    services->Release();
  }
  IShellView* view = nullptr;
  if (browser != nullptr) {
    if (FAILED(browser->QueryActiveShellView(&view))) view = nullptr;
    browser->Release();
  }
  IDispatch* folderView = nullptr;
  if (view != nullptr) {
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                   reinterpret_cast<void**>(&folderView)))) {
      folderView = nullptr;
    }
    view->Release();
  }
  return folderView;
}

// The shell application of the desktop's process; nullptr when it cannot be reached.
IShellDispatch2* DesktopShell() {
  IShellFolderViewDual* folderView =
      Next<IShellFolderViewDual>(DesktopFolderView(), IID_IShellFolderViewDual);
  IDispatch* application = nullptr;
  if (folderView != nullptr) {
    if (FAILED(folderView->get_Application(&application))) application = nullptr;
    folderView->Release();
  }
  return Next<IShellDispatch2>(application, IID_IShellDispatch2);
}

}  // namespace

bool OpenThroughDesktopShell(const char* command, const char* folder) {
  // Without Explorer (another shell) the window list cannot be created: nothing to ask.
  Strings strings;
  if (!LoadStrings(&strings)) return false;
  IShellDispatch2* shell = DesktopShell();
  if (shell == nullptr) return false;
  VARIANT none;
  VARIANT where;
  VARIANT show;
  memset(&none, 0, sizeof none);
  memset(&where, 0, sizeof where);
  memset(&show, 0, sizeof show);
  show.vt = VT_I4;
  show.lVal = SW_SHOW;
  BSTR file = WideString(strings, command);
  if (folder != nullptr) {
    where.vt = VT_BSTR;
    where.bstrVal = WideString(strings, folder);
  }
  const bool opened = file != nullptr && (folder == nullptr || where.bstrVal != nullptr) &&
                      SUCCEEDED(shell->ShellExecute(file, none, where, none, show));
  if (file != nullptr) strings.release(file);
  if (where.bstrVal != nullptr) strings.release(where.bstrVal);
  shell->Release();
  return opened;
}

}  // namespace platform
