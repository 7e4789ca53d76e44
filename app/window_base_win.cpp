#include "app/window_base_win.h"

#include <new>
#include <stdexcept>

#include "app/dialogs_win.h"
#include "storage/user_error.h"

namespace {

void ShowFailure(HWND window, const char* text) noexcept {
  HWND owner = window != nullptr && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
  try {
    ShowErrorBox(owner, text);
  } catch (...) {
    // Not even the box could be made (out of memory): the message is lost,
    // the program goes on.
  }
}

}  // namespace

LRESULT DispatchGuarded(HWND window, const std::function<LRESULT()>& handle, LRESULT failed) {
  try {
    return handle();
  } catch (const UserError& error) {
    ShowFailure(window, error.what());
  } catch (const std::bad_alloc&) {
    ShowFailure(window, "Out of memory");
  } catch (const std::exception& error) {
    ShowFailure(window, error.what());
  } catch (...) {
    ShowFailure(window, "Unexpected failure");
  }
  return failed;
}

bool RegisterWindowClass(const WNDCLASSEXA& window_class) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(window_class.hInstance, window_class.lpszClassName, &existing)) return true;
  return RegisterClassExA(&window_class) != 0;
}
