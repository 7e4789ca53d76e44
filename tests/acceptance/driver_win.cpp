// The acceptance driver: reports what the controller window shows, types and
// presses keys through SendInput, and says where to click. The clicks
// themselves are made by the runner through the X server (xdotool): under
// Wine, mouse input sent with SendInput is steered by the X pointer, which
// it does not move, and lands on the wrong window now and then. Run under
// Wine in the same prefix and desktop as the controller.
//
//   driver COMMAND [ARGS...] [-- COMMAND [ARGS...]]...
//
// Commands run in order; the first that fails prints "FAIL: ..." and the
// driver exits with 1. Text arguments may carry %XX escapes (any byte), and
// every text printed escapes bytes outside 0x20..0x7E and '%' the same way,
// so station names with any byte pass through the shell unharmed.

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window_layout.h"
#include "tests/standins/standin_requests.h"

namespace {

constexpr char kMainTitle[] = "TALVEX Morvelle";
constexpr DWORD kDefaultWaitMs = 20000;

// Control centres in the main window's client area: the panels' offsets
// plus each control's own rectangle.
struct Spot {
  const char* name;
  int left, top, width, height;
};
constexpr Spot kSpots[] = {
    {"plhn", 256, 4, 25, 24},
    {"syn", 280, 4, 25, 24},
    {"lista", 8, 32 + 25, 153, 100},
    {"msname", 204, 32 + 9, 97, 22},
    {"autorun", 285, 32 + 36, 15, 13},
    {"SpeedButton2", 168, 32 + 80, 45, 45},
    {"SpeedButton1", 212, 32 + 80, 45, 45},
    {"SpeedButton3", 256, 32 + 80, 45, 45},
};

struct Failure {
  std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw Failure{text}; }

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b > 0x7E || b == '%') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const std::string hex = text.substr(i + 1, 2);
      if (hex.size() == 2 && std::isxdigit(static_cast<unsigned char>(hex[0])) &&
          std::isxdigit(static_cast<unsigned char>(hex[1]))) {
        out += static_cast<char>(std::strtol(hex.c_str(), nullptr, 16));
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ClassOf(HWND w) {
  char name[256] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

// Cross-process ANSI text requests come back garbled under Wine (UTF-16
// bytes in an ANSI buffer), so texts are read as UTF-16 and turned into the
// ANSI code page here, as the controller's own ANSI calls would see them.
std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string TextOf(HWND w) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    Fail("window does not answer WM_GETTEXTLENGTH");
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(std::min<std::size_t>(got, length));
  return Narrow(text);
}

LRESULT Ask(HWND w, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result)) {
    Fail("the controller does not answer (message " + std::to_string(message) + ")");
  }
  return static_cast<LRESULT>(result);
}

// A row's length in UTF-16 units, asked in UTF-16 as the text is read: an
// ANSI length of a very long row comes back wrong under Wine.
LRESULT RowUnits(HWND list, int row) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0, SMTO_ABORTIFHUNG,
                           10000, &result)) {
    Fail("the controller does not answer (LB_GETTEXTLEN)");
  }
  return static_cast<LRESULT>(result);
}

// A named callback rather than a lambda: the 32-bit build needs CALLBACK.
BOOL CALLBACK CollectWindow(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

std::vector<HWND> TopWindows() {
  std::vector<HWND> all;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string TitleOf(HWND w) {
  const int n = GetWindowTextLengthA(w);
  std::string text(n + 1, '\0');
  const int got = GetWindowTextA(w, text.data(), n + 1);
  text.resize(got > 0 ? got : 0);
  return text;
}

std::vector<HWND> MainWindows(bool visible_only) {
  std::vector<HWND> found;
  for (HWND w : TopWindows()) {
    if (TitleOf(w) != kMainTitle) continue;
    if (visible_only && !IsWindowVisible(w)) continue;
    found.push_back(w);
  }
  return found;
}

// The main window, or while it is not shown yet (start-up), the hidden one.
HWND AnyMain() {
  const auto shown = MainWindows(true);
  if (!shown.empty()) return shown.front();
  const auto all = MainWindows(false);
  return all.empty() ? nullptr : all.front();
}

HWND MainWindow() {
  const auto found = MainWindows(true);
  if (found.empty()) Fail("no visible window \"TALVEX Morvelle\"");
  return found.front();
}

DWORD ProcessOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

void Settle(HWND w) {
  // Let the controller drain what is queued: a sent message is answered only
  // when its thread next looks at its queue.
  for (int i = 0; i < 3; ++i) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    Sleep(15);
  }
}

bool Waited(DWORD ms, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(20);
  }
}

struct Controls {
  HWND main = nullptr, list = nullptr, edit = nullptr, check = nullptr;
};

HWND DeepestAt(HWND main, int x, int y) {
  POINT p{x, y};
  ClientToScreen(main, &p);
  HWND best = nullptr;
  LONG best_area = 0;
  for (HWND w : Descendants(main)) {
    if (!IsWindowVisible(w)) continue;
    RECT r;
    GetWindowRect(w, &r);
    if (!PtInRect(&r, p)) continue;
    const LONG area = (r.right - r.left) * (r.bottom - r.top);
    if (best == nullptr || area < best_area) {
      best = w;
      best_area = area;
    }
  }
  return best;
}

const Spot& SpotNamed(const std::string& name) {
  for (const Spot& s : kSpots) {
    if (name == s.name) return s;
  }
  Fail("unknown control " + name);
}

Controls Find() {
  Controls c;
  c.main = MainWindow();
  for (HWND w : Descendants(c.main)) {
    const std::string cls = Lower(ClassOf(w));
    if (c.list == nullptr && cls == "listbox") c.list = w;
    if (c.edit == nullptr && cls == "edit") c.edit = w;
    if (c.check == nullptr && cls == "button") {
      const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
      if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) c.check = w;
    }
  }
  // Controls of classes of their own: take what sits at the control's place.
  auto at = [&](const char* name) {
    const Spot& s = SpotNamed(name);
    return DeepestAt(c.main, s.left + s.width / 2, s.top + s.height / 2);
  };
  if (c.list == nullptr) c.list = at("lista");
  if (c.edit == nullptr) c.edit = at("msname");
  if (c.check == nullptr) c.check = at("autorun");
  if (c.list == nullptr || c.edit == nullptr || c.check == nullptr) {
    Fail("the list, the name field or the check box is missing");
  }
  return c;
}

int RowCount(const Controls& c) { return static_cast<int>(Ask(c.list, LB_GETCOUNT)); }

std::string RowText(const Controls& c, int i) {
  const LRESULT n = RowUnits(c.list, i);
  if (n == LB_ERR) Fail("no row " + std::to_string(i));
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(c.list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 20000, &got) ||
      static_cast<LRESULT>(got) == LB_ERR) {
    Fail("row " + std::to_string(i) + " unreadable");
  }
  text.resize(std::min<std::size_t>(got, static_cast<std::size_t>(n)));
  return Narrow(text);
}

int Highlight(const Controls& c) { return static_cast<int>(Ask(c.list, LB_GETCURSEL)); }
int Checked(const Controls& c) { return Ask(c.check, BM_GETCHECK) == BST_CHECKED ? 1 : 0; }

// The controller's own visible top-level windows other than its main window:
// its dialogs (hint windows left out).
std::vector<HWND> Dialogs(HWND main) {
  const DWORD pid = ProcessOf(main);
  std::vector<HWND> found;
  for (HWND w : TopWindows()) {
    if (w == main || !IsWindowVisible(w) || ProcessOf(w) != pid) continue;
    const std::string cls = Lower(ClassOf(w));
    if (cls == "thintwindow" || cls == "ime") continue;
    found.push_back(w);
  }
  return found;
}

// The text of the controller's hint on the screen, "none" when none shows.
std::string ShownHint(HWND main) {
  const DWORD pid = ProcessOf(main);
  for (HWND w : TopWindows()) {
    if (IsWindowVisible(w) && ProcessOf(w) == pid && Lower(ClassOf(w)) == "thintwindow") {
      return Escape(TextOf(w));
    }
  }
  return "none";
}

std::optional<HWND> TheDialog(HWND main) {
  const auto all = Dialogs(main);
  if (all.empty()) return std::nullopt;
  // The enabled one is the modal on top.
  for (HWND w : all) {
    if (IsWindowEnabled(w)) return w;
  }
  return all.front();
}

std::string Unmnemonic(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c != '&') out += c;
  }
  return out;
}

POINT CentreOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PrintDialog(HWND d) {
  RECT r;
  GetWindowRect(d, &r);
  std::printf("dialog %s\n", Escape(TitleOf(d)).c_str());
  std::printf("dialog-rect %ld %ld %ld %ld screen %d %d\n", r.left, r.top, r.right, r.bottom,
              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  int icons = 0;
  for (HWND w : Descendants(d)) {
    if (!IsWindowVisible(w)) continue;
    const std::string cls = Lower(ClassOf(w));
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    if (cls == "static") {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        if (Ask(w, STM_GETICON) != 0) ++icons;
      } else {
        const std::string text = TextOf(w);
        if (!text.empty()) std::printf("dialog-text %s\n", Escape(text).c_str());
      }
    } else if (cls == "button") {
      const bool is_default = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      std::printf("dialog-button %s%s\n", Escape(TextOf(w)).c_str(), is_default ? " default" : "");
    } else if (cls == "edit") {
      std::printf("dialog-text %s\n", Escape(TextOf(w)).c_str());
    }
  }
  std::printf("dialog-icons %d\n", icons);
}

void PrintState(int max_rows) {
  const Controls c = Find();
  RECT wr, cr;
  GetWindowRect(c.main, &wr);
  GetClientRect(c.main, &cr);
  const HWND fg = GetForegroundWindow();
  std::printf("window %ld %ld %ld %ld client %ld %ld iconic %d foreground %d\n", wr.left, wr.top,
              wr.right - wr.left, wr.bottom - wr.top, cr.right, cr.bottom, IsIconic(c.main) ? 1 : 0,
              fg == c.main ? 1 : 0);
  const int n = RowCount(c);
  std::printf("rows %d\n", n);
  for (int i = 0; i < n && i < max_rows; ++i) {
    std::printf("row %d %s\n", i, Escape(RowText(c, i)).c_str());
  }
  std::printf("highlight %d\n", Highlight(c));
  std::printf("name %s\n", Escape(TextOf(c.edit)).c_str());
  std::printf("autorun %d\n", Checked(c));
  const auto d = TheDialog(c.main);
  if (d) {
    PrintDialog(*d);
  } else {
    std::printf("dialog none\n");
  }
}

void PrintPoint(POINT p) { std::printf("point %ld %ld\n", p.x, p.y); }

// Where to click a control of the main window, in screen coordinates.
POINT ControlPoint(const std::string& name) {
  const HWND main = MainWindow();
  const Spot& s = SpotNamed(name);
  POINT p{s.left + s.width / 2, s.top + s.height / 2};
  ClientToScreen(main, &p);
  return p;
}

POINT RowPoint(int row) {
  const Controls c = Find();
  const int top = static_cast<int>(Ask(c.list, LB_GETTOPINDEX));
  const int height = static_cast<int>(Ask(c.list, LB_GETITEMHEIGHT, 0));
  RECT client;
  GetClientRect(c.list, &client);
  const int y = (row - top) * height + height / 2;
  if (row < top || height <= 0 || y >= client.bottom) {
    Fail("row " + std::to_string(row) + " is not in view");
  }
  POINT p{client.right / 3, y};
  ClientToScreen(c.list, &p);
  return p;
}

// The button of the dialog on top whose text, without its mnemonic, is want.
void PrintButtonPoint(const std::string& want) {
  const HWND main = AnyMain();
  if (main == nullptr) Fail("no controller window");
  const auto d = TheDialog(main);
  if (!d) Fail("no dialog to answer");
  HWND button = nullptr;
  for (HWND w : Descendants(*d)) {
    if (Lower(ClassOf(w)) == "button" && Unmnemonic(TextOf(w)) == want) button = w;
  }
  if (button == nullptr) Fail("the dialog has no button " + want);
  PrintPoint(CentreOf(button));
  std::printf("dialog-handle %llu\n",
              static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(*d)));
}

WORD KeyNamed(const std::string& name) {
  static const struct {
    const char* name;
    WORD vk;
  } keys[] = {{"TAB", VK_TAB},     {"ESCAPE", VK_ESCAPE},  {"RETURN", VK_RETURN}, {"BACK", VK_BACK},
              {"DOWN", VK_DOWN},   {"UP", VK_UP},          {"HOME", VK_HOME},     {"END", VK_END},
              {"SPACE", VK_SPACE}, {"F4", VK_F4},          {"DELETE", VK_DELETE}, {"ALT", VK_MENU},
              {"SHIFT", VK_SHIFT}, {"CONTROL", VK_CONTROL}};
  for (const auto& k : keys) {
    if (name == k.name) return k.vk;
  }
  if (name.size() == 1) return static_cast<WORD>(VkKeyScanA(name[0]) & 0xFF);
  Fail("unknown key " + name);
}

// "ALT+F4" presses the modifiers, the key, and lets go in reverse order.
void PressKey(const std::string& chord) {
  std::vector<WORD> keys;
  std::size_t start = 0;
  for (;;) {
    const std::size_t plus = chord.find('+', start);
    keys.push_back(KeyNamed(chord.substr(start, plus == std::string::npos ? plus : plus - start)));
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  std::vector<INPUT> in;
  for (WORD vk : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    in.push_back(i);
  }
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Types the bytes as the characters they are in the ANSI code page.
void TypeText(const std::string& bytes) {
  if (bytes.empty()) return;
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  constexpr std::size_t kChunk = 200;
  for (std::size_t at = 0; at < wide.size(); at += kChunk) {
    std::vector<INPUT> in;
    for (std::size_t i = at; i < wide.size() && i < at + kChunk; ++i) {
      INPUT down{};
      down.type = INPUT_KEYBOARD;
      down.ki.wScan = wide[i];
      down.ki.dwFlags = KEYEVENTF_UNICODE;
      INPUT up = down;
      up.ki.dwFlags |= KEYEVENTF_KEYUP;
      in.push_back(down);
      in.push_back(up);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(5);
  }
}

std::string ControlName(const Controls& c, HWND w) {
  if (w == nullptr) return "none";
  if (w == c.list) return "lista";
  if (w == c.edit) return "msname";
  if (w == c.check) return "autorun";
  if (w == c.main) return "window";
  return "other:" + ClassOf(w);
}

using Args = std::vector<std::string>;

DWORD WaitArg(const Args& a, std::size_t i) {
  return a.size() > i ? static_cast<DWORD>(std::strtoul(a[i].c_str(), nullptr, 10))
                      : kDefaultWaitMs;
}

const std::string& Need(const Args& a, std::size_t i, const char* what) {
  if (a.size() <= i) Fail(std::string("missing argument: ") + what);
  return a[i];
}

// The visible windows of stand-ins that stay running (standin_requests.h)
// with this caption, or with any when it is empty.
std::vector<HWND> StandinWindows(const std::string& caption) {
  std::vector<HWND> found;
  for (HWND w : TopWindows()) {
    if (ClassOf(w) != kStandinWindowClass || !IsWindowVisible(w)) continue;
    if (caption.empty() || TitleOf(w) == caption) found.push_back(w);
  }
  return found;
}

HWND TheStandin(const std::string& caption) {
  const auto found = StandinWindows(caption);
  if (found.empty()) Fail("no stand-in window \"" + caption + "\"");
  if (found.size() > 1)
    Fail(std::to_string(found.size()) + " stand-in windows \"" + caption + "\"");
  return found.front();
}

std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// The last stand-in that "standin" ended, for "wait-standin".
struct Ended {
  DWORD pid = 0;
  std::uint64_t exit_time = 0;  // 100 ns units
};
Ended g_ended;

// The value a "wait" key has now, escaped like the state output.
std::string Current(const std::string& key) {
  if (key == "dialog") {
    const HWND w = AnyMain();
    if (w == nullptr) return "no-window";
    const auto d = TheDialog(w);
    return d ? Escape(TitleOf(*d)) : "none";
  }
  if (key == "windows") return std::to_string(MainWindows(true).size());
  if (key == "hint") {
    const HWND w = AnyMain();
    return w == nullptr ? "no-window" : ShownHint(w);
  }
  if (key == "front") {
    const HWND fg = GetForegroundWindow();
    if (fg == nullptr) return "none";
    return Escape(TitleOf(fg) + (IsIconic(fg) ? " (minimised)" : ""));
  }
  if (key == "standins") return std::to_string(StandinWindows(std::string()).size());
  const Controls c = Find();
  if (key == "rows") return std::to_string(RowCount(c));
  if (key == "highlight") return std::to_string(Highlight(c));
  if (key == "name") return Escape(TextOf(c.edit));
  if (key == "autorun") return std::to_string(Checked(c));
  if (key == "iconic") return IsIconic(c.main) ? "1" : "0";
  if (key == "foreground") {
    const HWND fg = GetForegroundWindow();
    return fg == c.main ? "1" : "0";
  }
  if (key == "focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(c.main, nullptr), &info);
    return ControlName(c, info.hwndFocus);
  }
  Fail("unknown key " + key);
}

void RunHold(const Args& a) {
  const std::string path = Need(a, 1, "file");
  const std::string marker = Need(a, 2, "marker");
  const std::string release = Need(a, 3, "release file");
  const DWORD ms = WaitArg(a, 4);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("cannot hold " + path);
  HANDLE m = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m != INVALID_HANDLE_VALUE) CloseHandle(m);
  Waited(ms, [&] { return GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES; });
  CloseHandle(h);
  std::printf("released\n");
}

void RunText(const Args& a) {
  const int number = std::atoi(Need(a, 1, "number").c_str());
  HMODULE lib = LoadLibraryA(Need(a, 2, "library").c_str());
  if (lib == nullptr) Fail("cannot load the message-text library");
  using HelpTxt = const char*(WINAPI*)(int);
  const auto help =
      reinterpret_cast<HelpTxt>(reinterpret_cast<void*>(GetProcAddress(lib, "helpTXT")));
  if (help == nullptr) Fail("helpTXT is not exported");
  const char* text = help(number);
  std::printf("text %d %s\n", number, text ? Escape(text).c_str() : "(null)");
}

// own-text ID PROGRAM: a text of PROGRAM's string table.
void RunOwnText(const Args& a) {
  const int id = std::atoi(Need(a, 1, "id").c_str());
  HMODULE program = LoadLibraryExA(Need(a, 2, "program").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (program == nullptr) Fail("cannot load the program's resources");
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(program, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0) Fail("no text " + std::to_string(id) + " in the program's string table");
  std::printf("own-text %d %s\n", id,
              Escape(Narrow(std::wstring(text, static_cast<std::size_t>(length)))).c_str());
}

// One function per driver command; RunCommand finds them by name in
// kCommands. Each takes the command's words, its name first.

void RunWaitWindow(const Args& a) {
  if (!Waited(WaitArg(a, 1), [] { return !MainWindows(true).empty(); })) {
    Fail("no window \"TALVEX Morvelle\" appeared");
  }
  Settle(MainWindow());
}

void RunWaitGone(const Args& a) {
  if (!Waited(WaitArg(a, 1), [] { return MainWindows(false).empty(); })) {
    Fail("the window \"TALVEX Morvelle\" is still there");
  }
}

void RunCount(const Args&) {
  std::printf("windows %zu visible %zu\n", MainWindows(false).size(), MainWindows(true).size());
}

void RunState(const Args& a) { PrintState(a.size() > 1 ? std::atoi(a[1].c_str()) : 30); }

void RunRow(const Args& a) {
  const Controls c = Find();
  const int i = std::atoi(Need(a, 1, "row").c_str());
  const std::string text = RowText(c, i);
  std::printf("row %d length %zu %s\n", i, text.size(),
              text.size() <= 20000 ? Escape(text).c_str() : "(long)");
}

void RunRowLen(const Args& a) {
  const Controls c = Find();
  const int i = std::atoi(Need(a, 1, "row").c_str());
  std::printf("rowlen %d %ld\n", i, static_cast<long>(RowUnits(c.list, i)));
}

void RunWait(const Args& a) {
  const std::string key = Need(a, 1, "key");
  const std::string want = Escape(Unescape(Need(a, 2, "value")));
  std::string now;
  if (!Waited(WaitArg(a, 3), [&] { return (now = Current(key)) == want; })) {
    Fail("waited for " + key + " " + want + ", it is " + now);
  }
}

void RunGet(const Args& a) {
  const std::string key = Need(a, 1, "key");
  std::printf("%s %s\n", key.c_str(), Current(key).c_str());
}

void RunDialog(const Args&) {
  const HWND main = AnyMain();
  if (main == nullptr) Fail("no controller window");
  const auto d = TheDialog(main);
  if (d) {
    PrintDialog(*d);
  } else {
    std::printf("dialog none\n");
  }
}

void RunWaitDialog(const Args& a) {
  const std::string title = a.size() > 1 ? a[1] : std::string();
  std::optional<HWND> d;
  if (!Waited(WaitArg(a, 2), [&] {
        const HWND w = AnyMain();
        if (w == nullptr) return false;
        d = TheDialog(w);
        return d && (title.empty() || Escape(TitleOf(*d)) == title);
      })) {
    Fail("no dialog " + title + " appeared");
  }
  Sleep(50);  // its controls are made right after it shows
  PrintDialog(*d);
}

void RunPointButton(const Args& a) { PrintButtonPoint(Unmnemonic(Unescape(Need(a, 1, "button")))); }

void RunDialogGone(const Args& a) {
  const auto gone = reinterpret_cast<HWND>(
      static_cast<std::uintptr_t>(std::strtoull(Need(a, 1, "handle").c_str(), nullptr, 10)));
  if (!Waited(WaitArg(a, 2), [&] { return !IsWindow(gone) || !IsWindowVisible(gone); })) {
    Fail("the dialog stayed");
  }
  const HWND main = AnyMain();
  if (main != nullptr) Settle(main);
}

void RunDialogClose(const Args&) {
  const HWND main = AnyMain();
  if (main == nullptr) Fail("no controller window");
  const auto d = TheDialog(main);
  if (!d) Fail("no dialog to close");
  PostMessageA(*d, WM_SYSCOMMAND, SC_CLOSE, 0);
  const HWND gone = *d;
  if (!Waited(10000, [&] { return !IsWindow(gone) || !IsWindowVisible(gone); })) {
    Fail("the dialog stayed after its close button");
  }
  Settle(main);
}

void RunPoint(const Args& a) { PrintPoint(ControlPoint(Need(a, 1, "control"))); }

void RunPointRow(const Args& a) { PrintPoint(RowPoint(std::atoi(Need(a, 1, "row").c_str()))); }

void RunType(const Args& a) {
  TypeText(Unescape(Need(a, 1, "text")));
  Settle(MainWindow());
}

void RunKey(const Args& a) {
  const int times = a.size() > 2 ? std::atoi(a[2].c_str()) : 1;
  for (int i = 0; i < times; ++i) PressKey(Need(a, 1, "key"));
  const auto w = MainWindows(true);
  if (!w.empty()) Settle(w.front());
}

void RunClose(const Args&) { PostMessageA(MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0); }

void RunMinimize(const Args& a) {
  const HWND main = MainWindow();
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  if (!Waited(WaitArg(a, 1), [&] { return IsIconic(main) != FALSE; })) {
    Fail("the window did not minimise");
  }
}

void RunRestore(const Args& a) {
  const HWND main = MainWindow();
  PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  if (!Waited(WaitArg(a, 1), [&] { return IsIconic(main) == FALSE; })) {
    Fail("the window did not come back");
  }
  Settle(main);
}

void RunPid(const Args&) { std::printf("pid %lu\n", ProcessOf(MainWindow())); }

void RunAt(const Args& a) {
  POINT p{std::atoi(Need(a, 1, "x").c_str()), std::atoi(Need(a, 2, "y").c_str())};
  const HWND w = WindowFromPoint(p);
  GetCursorPos(&p);
  std::printf("at %s %s cursor %ld %ld\n", ClassOf(w).c_str(), Escape(TextOf(w)).c_str(), p.x, p.y);
}

// Every control that is a window against the window's layout at the DPI
// the window is drawn at; the client area in screen pixels for a
// screenshot. Fails when any is elsewhere.
void RunLayout(const Args&) {
  const HWND main = MainWindow();
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  const int dpi = get_dpi != nullptr ? static_cast<int>(get_dpi(main)) : 96;
  RECT client{};
  GetClientRect(main, &client);
  POINT origin{0, 0};
  ClientToScreen(main, &origin);
  std::printf("dpi %d\nclient %ld %ld %ld %ld\n", dpi, origin.x, origin.y, client.right,
              client.bottom);
  int wrong = 0;
  auto check = [&](const char* what, int id, const RECT& got, const LayoutBox& want) {
    const bool same = got.left == want.left && got.top == want.top && got.right == want.right &&
                      got.bottom == want.bottom;
    std::printf("%s %d %s %ld %ld %ld %ld\n", what, id, same ? "ok" : "WRONG", got.left, got.top,
                got.right, got.bottom);
    if (!same) ++wrong;
  };
  check("client", 0, client, ScaleToDpi(Box(0, 0, kClientWidth, kClientHeight), dpi));
  for (const LayoutRow& row : kWindowLayout) {
    if (IsPainted(row.kind)) continue;
    const HWND parent = row.parent == kIdWindow ? main : GetDlgItem(main, row.parent);
    const HWND control = parent != nullptr ? GetDlgItem(parent, row.id) : nullptr;
    RECT got{};
    if (control != nullptr) {
      GetWindowRect(control, &got);
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&got), 2);
    }
    check("control", row.id, got, ScaleToDpi(row.box, dpi));
  }
  if (wrong > 0) Fail(std::to_string(wrong) + " out of place");
  std::printf("layout ok\n");
}

void RunSettle(const Args&) { Settle(MainWindow()); }

// Waits until the controller gets round to its messages again, for a window
// that is shown but still busy (painting a very long row, say): the other
// commands give up on a window that looks hung after a few seconds.
void RunWaitAnswer(const Args& a) {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, WaitArg(a, 1), &ignored)) {
    Fail("the controller did not answer in time");
  }
}

// standin CAPTION crash|exit|close|minimize [CODE] [MS]: asks the stand-in
// with that caption to crash with exception CODE (0: a null write), to exit
// with CODE, to close as its operator would (exit 0) or to minimise; for all
// but minimise waits until its process has ended and prints its exit code.
void RunStandin(const Args& a) {
  const std::string caption = Unescape(Need(a, 1, "caption"));
  const std::string action = Need(a, 2, "action");
  const auto code = static_cast<WPARAM>(a.size() > 3 ? std::strtoul(a[3].c_str(), nullptr, 0) : 0);
  const HWND w = TheStandin(caption);
  const DWORD pid = ProcessOf(w);
  if (action == "minimize") {
    PostMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!Waited(WaitArg(a, 4), [&] { return IsIconic(w) != FALSE; })) Fail("it did not minimise");
    return;
  }
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) Fail("cannot open the stand-in's process");
  if (action == "crash") {
    PostMessageA(w, kStandinCrash, code, 0);
  } else if (action == "exit") {
    PostMessageA(w, kStandinExit, code, 0);
  } else if (action == "close") {
    PostMessageA(w, WM_CLOSE, 0, 0);
  } else {
    CloseHandle(process);
    Fail("unknown action " + action);
  }
  const DWORD waited = WaitForSingleObject(process, WaitArg(a, 4));
  DWORD exit_code = 0;
  FILETIME created{}, exited{}, kernel{}, user{};
  GetExitCodeProcess(process, &exit_code);
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) Fail("the stand-in did not end");
  g_ended = {pid, Ticks(exited)};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(exit_code));
  std::printf("standin-ended %lu %s\n", static_cast<unsigned long>(pid), hex);
}

// wait-standin CAPTION [MS]: waits for a stand-in window with that caption
// from another process than the one "standin" ended in this run, and
// prints its process and, after such an end, how long after it the new
// process was created.
void RunWaitStandin(const Args& a) {
  const std::string caption = Unescape(Need(a, 1, "caption"));
  HWND found = nullptr;
  if (!Waited(WaitArg(a, 2), [&] {
        for (HWND w : StandinWindows(caption)) {
          if (ProcessOf(w) != g_ended.pid) found = w;
        }
        return found != nullptr;
      })) {
    Fail("no new stand-in window \"" + caption + "\"");
  }
  const DWORD pid = ProcessOf(found);
  std::printf("standin %lu\n", static_cast<unsigned long>(pid));
  if (g_ended.pid == 0) return;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  FILETIME created{}, exited{}, kernel{}, user{};
  const bool known =
      process != nullptr && GetProcessTimes(process, &created, &exited, &kernel, &user);
  if (process != nullptr) CloseHandle(process);
  if (!known) Fail("cannot read the new stand-in's start time");
  const auto after = static_cast<long long>(Ticks(created) - g_ended.exit_time) / 10000;
  std::printf("standin-back-after %lld\n", after);
}

void RunSleep(const Args& a) { Sleep(static_cast<DWORD>(std::atoi(Need(a, 1, "ms").c_str()))); }

struct Command {
  const char* name;
  void (*run)(const Args&);
};

constexpr Command kCommands[] = {
    {"wait-window", RunWaitWindow},
    {"wait-gone", RunWaitGone},
    {"count", RunCount},
    {"state", RunState},
    {"row", RunRow},
    {"rowlen", RunRowLen},
    {"wait", RunWait},
    {"get", RunGet},
    {"dialog", RunDialog},
    {"wait-dialog", RunWaitDialog},
    {"point-button", RunPointButton},
    {"dialog-gone", RunDialogGone},
    {"dialog-close", RunDialogClose},
    {"point", RunPoint},
    {"point-row", RunPointRow},
    {"type", RunType},
    {"key", RunKey},
    {"close", RunClose},
    {"minimize", RunMinimize},
    {"restore", RunRestore},
    {"pid", RunPid},
    {"text", RunText},
    {"own-text", RunOwnText},
    {"hold", RunHold},
    {"at", RunAt},
    {"settle", RunSettle},
    {"wait-answer", RunWaitAnswer},
    {"layout", RunLayout},
    {"sleep", RunSleep},
    {"standin", RunStandin},
    {"wait-standin", RunWaitStandin},
};

void RunCommand(const Args& a) {
  const std::string& cmd = a.at(0);
  for (const Command& c : kCommands) {
    if (cmd == c.name) {
      c.run(a);
      return;
    }
  }
  Fail("unknown command " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
  // Per-monitor aware, as the controller is: its window's coordinates as
  // they are, unscaled, at any DPI.
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  if (const auto set_context = reinterpret_cast<SetContextFn>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")))) {
    set_context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, v2
  }
  std::vector<Args> commands(1);
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      commands.emplace_back();
    } else {
      commands.back().emplace_back(argv[i]);
    }
  }
  for (const Args& a : commands) {
    if (a.empty()) continue;
    try {
      RunCommand(a);
    } catch (const Failure& f) {
      std::printf("FAIL: %s: %s\n", a[0].c_str(), f.text.c_str());
      std::fflush(stdout);
      return 1;
    }
    std::fflush(stdout);
  }
  return 0;
}
