// Windows ends the session by asking every top-level window (WM_QUERYENDSESSION) and then telling
// it (WM_ENDSESSION); the program may be ended any time after it has answered the second. A tray
// program may have no visible window, so a hidden window of its own hears both, and the end of
// the session ends the program as SIGTERM does on Linux: no question, no disconnect actions,
// Duration.tmp kept for the next start.
#include "app/ShutdownSignals.h"

#include <windows.h>

namespace pelmora {

namespace {

// The window class; tests find the window by it.
constexpr const wchar_t* kWindowClass = L"PelmoraSessionEnd";

LRESULT CALLBACK sessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner =
      reinterpret_cast<ShutdownSignals*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
  switch (message) {
    case WM_QUERYENDSESSION:
      // The metering loses nothing when the session ends: never hold it up.
      return TRUE;
    case WM_ENDSESSION:
      // wParam is FALSE when another program cancelled the end of the session.
      if (wParam != FALSE && owner != nullptr) emit owner->received();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = sessionWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  // A top-level window that is never shown (a message-only window hears no session messages).
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Pelmora", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_window = window;
}

ShutdownSignals::~ShutdownSignals() {
  if (m_window != nullptr) DestroyWindow(static_cast<HWND>(m_window));
  UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
}

void ShutdownSignals::drain() {}

}  // namespace pelmora
