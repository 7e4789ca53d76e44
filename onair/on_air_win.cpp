#include "onair/on_air_win.h"

#include <shellapi.h>

#include <utility>
#include <vector>

#include "base/shell_win.h"
#include "base/user_error.h"
#include "storage/list_file_win.h"

namespace {

constexpr UINT kExitMessage = WM_APP + 1;
constexpr UINT kSaveMessage = WM_APP + 2;
constexpr char kWindowClass[] = "MorvelleOnAir";
// Once a second while a station waits for its restart, so that a mark or a
// hint that counts the seconds down is drawn again.
constexpr UINT_PTR kTickTimer = 1;

std::int64_t NowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

HWND CreateMessageWindow(WNDPROC procedure, void* self) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  static const bool registered = [instance, procedure] {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = kWindowClass;
    return RegisterClassA(&window_class) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, self);
}

std::string Seconds(std::int64_t ms) { return std::to_string((ms + 999) / 1000) + " s"; }

}  // namespace

WinOnAir::WinOnAir(std::string app_dir, HWND& owner, const RestartSettings& settings)
    : app_dir_(std::move(app_dir)),
      owner_(owner),
      settings_(settings),
      log_(app_dir_ + kEventLogFileName),
      window_(CreateMessageWindow(WindowProc, this)),
      watcher_(window_, kExitMessage) {}

WinOnAir::~WinOnAir() {
  if (save_pending_) Save();
  if (window_ != nullptr) DestroyWindow(window_);  // its timers go with it
}

LRESULT CALLBACK WinOnAir::WindowProc(HWND window, UINT message, WPARAM wparam,
                                      LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  }
  auto* self = reinterpret_cast<WinOnAir*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  try {
    switch (message) {
      case kExitMessage:
        self->OnExit(wparam);
        return 0;
      case WM_TIMER:
        self->OnTimer(wparam);
        return 0;
      case kSaveMessage:
        self->Save();
        return 0;
      default:
        break;
    }
  } catch (...) {
    // Out of memory: this event is lost, the controller goes on.
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

WinOnAir::Stations::iterator WinOnAir::Find(const std::string& name) {
  auto it = stations_.begin();
  while (it != stations_.end() && it->entry.station != name) ++it;
  return it;
}

WinOnAir::Stations::const_iterator WinOnAir::Find(const std::string& name) const {
  return const_cast<WinOnAir*>(this)->Find(name);
}

void WinOnAir::AdoptEarlier() {
  const std::string path = app_dir_ + kOnAirFileName;
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  std::vector<OnAirEntry> entries;
  try {
    entries = ParseOnAirEntries(WinStationListFile().Load(path));
  } catch (const UserError&) {
    log_.Write("", std::string("could not read ") + kOnAirFileName, 0);
    return;
  }
  for (OnAirEntry& entry : entries) {
    if (Find(entry.station) != stations_.end()) continue;
    const ProcessIdentity identity{entry.process_id, entry.creation_time, entry.image};
    ScopedHandle process = OpenSameProcess(identity);
    if (!process) continue;
    Station& station = stations_.emplace_back(std::as_const(entry.station), settings_);
    station.entry = std::move(entry);
    Watch(station, std::move(process), identity, "adopted at start-up");
  }
  SaveSoon();  // the ones that ended meanwhile go from the file
}

StartOutcome WinOnAir::Start(const std::string& name, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int show_mode) {
  auto it = Find(name);
  if (it != stations_.end() && it->state == AirState::kOnAir) {
    log_.Write(name, "already on air", it->entry.process_id);
    return StartOutcome::kAlreadyOnAir;
  }
  if (it == stations_.end()) {
    stations_.emplace_back(name, settings_);
    it = stations_.end() - 1;
  }
  Station& station = *it;
  if (station.timer != 0) KillTimer(window_, station.timer);
  station.timer = 0;
  station.entry.file = file;
  station.entry.parameters = parameters;
  station.entry.folder = folder;
  station.entry.show_mode = show_mode;
  if (Launch(station)) return StartOutcome::kStarted;
  if (station.state == AirState::kRestarting) {
    RestartLater(station, settings_.longest_delay_ms);
  } else {
    stations_.erase(it);
  }
  return StartOutcome::kNotStarted;
}

bool WinOnAir::Launch(Station& station) {
  const OnAirEntry& how = station.entry;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // No box from the shell for a missing program: the controller reports
  // nothing itself, as with the plain launcher.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner_;
  info.lpFile = how.file.c_str();
  info.lpParameters = how.parameters.c_str();
  info.lpDirectory = how.folder.empty() ? nullptr : how.folder.c_str();
  info.nShow = how.show_mode;
  static const auto shell_execute = ShellEntry<decltype(&ShellExecuteExA)>("ShellExecuteExA");
  SetLastError(0);
  const bool started = shell_execute != nullptr && shell_execute(&info);
  const DWORD error = GetLastError();
  ScopedHandle process(info.hProcess);
  if (!started || !process) {
    log_.Write(how.station, "could not be started (error " + std::to_string(error) + ")", 0);
    return false;
  }
  std::optional<ProcessIdentity> identity = IdentityOf(process.get());
  if (!identity) identity = ProcessIdentity{GetProcessId(process.get()), 0, std::string()};
  Watch(station, std::move(process), *identity, "started");
  return station.state == AirState::kOnAir;
}

void WinOnAir::Watch(Station& station, ScopedHandle process, const ProcessIdentity& identity,
                     const char* event) {
  station.entry.process_id = identity.process_id;
  station.entry.creation_time = identity.creation_time;
  station.entry.image = identity.image;
  station.watch = watcher_.Watch(std::move(process));
  if (station.watch == 0) {
    log_.Write(station.entry.station, std::string(event) + ", but cannot be watched",
               identity.process_id);
    station.state = AirState::kOff;
    return;
  }
  log_.Write(station.entry.station, event, identity.process_id);
  station.state = AirState::kOnAir;
  station.since = LocalTimeOf(identity.creation_time);
  station.policy.Started(NowMs());
  SaveSoon();
  Changed(station.entry.station);
}

void WinOnAir::OnExit(WPARAM watch) {
  const std::optional<DWORD> code = watcher_.Finish(watch);
  auto it = stations_.begin();
  while (it != stations_.end() && it->watch != watch) ++it;
  if (it == stations_.end() || !code) return;
  Station& station = *it;
  const std::string name = station.entry.station;
  station.watch = 0;
  const unsigned long process_id = station.entry.process_id;
  const RestartDecision decision = station.policy.Exited(*code, NowMs());
  SaveSoon();
  if (!decision.restart) {
    log_.Write(name, "exited " + ExitCodeText(*code) + " (stopped)", process_id);
    stations_.erase(it);
    Changed(name);
    return;
  }
  log_.Write(name, "crashed " + ExitCodeText(*code), process_id);
  if (decision.became_failing) log_.Write(name, "failing", 0);
  log_.Write(name, "restarting in " + Seconds(decision.delay_ms), 0);
  station.state = AirState::kRestarting;
  if (decision.delay_ms <= 0 && Launch(station)) return;
  RestartLater(station, decision.delay_ms > 0 ? decision.delay_ms : settings_.longest_delay_ms);
}

void WinOnAir::RestartLater(Station& station, std::int64_t delay_ms) {
  station.state = AirState::kRestarting;
  station.restart_at_ms = NowMs() + delay_ms;
  station.timer = SetTimer(window_, next_timer_++, static_cast<UINT>(delay_ms), nullptr);
  SetTimer(window_, kTickTimer, 1000, nullptr);
  Changed(station.entry.station);
}

void WinOnAir::OnTimer(UINT_PTR timer) {
  if (timer == kTickTimer) {
    bool waiting = false;
    for (const Station& station : stations_) {
      if (station.state != AirState::kRestarting) continue;
      waiting = true;
      Changed(station.entry.station);
    }
    if (!waiting) KillTimer(window_, kTickTimer);
    return;
  }
  KillTimer(window_, timer);  // one shot
  auto it = stations_.begin();
  while (it != stations_.end() && it->timer != timer) ++it;
  if (it == stations_.end()) return;
  it->timer = 0;
  if (!Launch(*it)) RestartLater(*it, settings_.longest_delay_ms);
}

AirStatus WinOnAir::Status(const std::string& name) const {
  AirStatus status;
  const auto it = Find(name);
  if (it == stations_.end()) return status;
  const Station& station = *it;
  const std::int64_t now = NowMs();
  status.state = station.state;
  status.failing = station.policy.Failing(now);
  status.since = {station.since.wHour, station.since.wMinute, station.since.wSecond};
  if (station.state == AirState::kRestarting) {
    const std::int64_t left = station.restart_at_ms - now;
    status.restart_in_seconds = left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
  }
  status.last_crash_code = station.policy.LastCrashCode();
  status.crashes = station.policy.Crashes(now);
  status.crashes_in_two_minutes = station.policy.RecentCrashes(now);
  if (status.failing) {
    status.retry_every_seconds = static_cast<int>(settings_.longest_delay_ms / 1000);
  }
  if (station.state == AirState::kOnAir) status.process_id = station.entry.process_id;
  return status;
}

bool WinOnAir::BringToFront(const std::string& name) {
  const auto it = Find(name);
  return it != stations_.end() && it->state == AirState::kOnAir &&
         BringProcessWindowToFront(it->entry.process_id);
}

void WinOnAir::Changed(const std::string& name) {
  if (listener_ != nullptr) listener_->OnAirChanged(name);
}

// One write for many changes: auto-run starts every station in one go, and
// a durable write per station would cost more than starting it.
void WinOnAir::SaveSoon() {
  if (save_pending_) return;
  save_pending_ = window_ != nullptr && PostMessageA(window_, kSaveMessage, 0, 0);
  if (!save_pending_) Save();
}

void WinOnAir::Save() {
  save_pending_ = false;
  StationRows lines;
  for (const Station& station : stations_) {
    if (station.state == AirState::kOnAir) lines.push_back(EncodeOnAirEntry(station.entry));
  }
  try {
    WinStationListFile().Save(app_dir_ + kOnAirFileName, lines);
  } catch (const UserError&) {
    log_.Write("", std::string("could not write ") + kOnAirFileName, 0);
  }
}
