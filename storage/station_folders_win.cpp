#include "storage/station_folders_win.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <optional>
#include <vector>

#include "base/shell_win.h"
#include "base/system_text_win.h"
#include "base/unique_handle_win.h"
#include "storage/station_names.h"

namespace {

constexpr UINT kDeleteFlags = FOF_NOCONFIRMATION | FOF_FILESONLY | FOF_SIMPLEPROGRESS;
static_assert(kDeleteFlags == 0x190);

std::optional<std::string> FullPath(const std::string& path) {
  // The size can change between the two calls only if the current folder
  // does (relative paths), so a second round settles it.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0) return std::nullopt;
    if (length < needed) {
      full.resize(length);
      return full;
    }
  }
  return std::nullopt;
}

bool SameOrdinalIgnoringCase(const std::wstring& a, size_t a_length, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a_length), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Names compared the way NTFS compares them: the ANSI text as Unicode,
// ordinal, without regard to case.
bool SameFolderText(const std::string& a, const std::string& b) {
  const auto wa = Wide(a);
  const auto wb = Wide(b);
  return wa && wb && SameOrdinalIgnoringCase(*wa, wa->size(), *wb);
}

bool StartsWithFolderText(const std::string& text, const std::string& prefix) {
  const auto wt = Wide(text);
  const auto wp = Wide(prefix);
  return wt && wp && wt->size() >= wp->size() && SameOrdinalIgnoringCase(*wt, wp->size(), *wp);
}

// Opens the entry itself, a link as the link, for looking only.
ScopedHandle OpenEntry(const std::string& path, bool follow_links) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!follow_links) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  return ScopedHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
}

struct Identity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(HANDLE entry) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(entry, &info)) return std::nullopt;
  return Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::optional<FILE_ATTRIBUTE_TAG_INFO> TagOf(HANDLE entry) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &tag, sizeof tag)) {
    return std::nullopt;
  }
  return tag;
}

// Where the system says the open entry really is. Wine's size answer
// leaves out the NUL, so one more is asked for.
std::optional<std::string> FinalPathOf(HANDLE entry) {
  constexpr DWORD kForm = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD needed = GetFinalPathNameByHandleA(entry, nullptr, 0, kForm);
    if (needed == 0) return std::nullopt;
    std::string path(static_cast<size_t>(needed) + 1, '\0');
    const DWORD length =
        GetFinalPathNameByHandleA(entry, path.data(), static_cast<DWORD>(path.size()), kForm);
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
  }
  return std::nullopt;
}

bool IsGone(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The shell, and Wine in every delete call, follow links into their
// targets. So before the tree goes, every link in it is removed as a link,
// and every entry is checked to be where its name says: an entry whose
// final path lies elsewhere is a link the system does not show as one
// (Wine reports a Unix symlink to a file as a plain file, and one to a
// folder as a folder it cannot open as a link). Then the tree is not
// deleted at all, nor when a path in it is too long for the shell. False
// when the tree must be kept.
bool UnlinkLinksInside(const std::string& root, const std::string& root_final) {
  struct Folder {
    std::string path;
    std::string final_path;
  };
  std::vector<Folder> pending{{root, root_final}};
  while (!pending.empty()) {
    const Folder folder = std::move(pending.back());
    pending.pop_back();
    WIN32_FIND_DATAA found;
    const ScopedFind search(FindFirstFileA((folder.path + "\\*").c_str(), &found));
    if (!search) return false;  // "." is always there
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = folder.path + "\\" + name;
      const std::string expected = folder.final_path + "\\" + name;
      // The shell builds each path it deletes in a MAX_PATH buffer, the
      // name plus "\\*" for a folder; Wine's shell, on overflow, goes on
      // with an empty path and so deletes the current folder's content.
      if (child.size() + 2 >= MAX_PATH) return false;
      ScopedHandle entry = OpenEntry(child, false);
      if (!entry) return false;
      const auto tag = TagOf(entry.get());
      const auto final_path = FinalPathOf(entry.get());
      if (!tag || !final_path || !SameFolderText(*final_path, expected)) return false;
      const bool is_folder = (tag->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool listed_as_link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      const bool opened_as_link = (tag->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (listed_as_link && !opened_as_link) return false;
      if (opened_as_link && IsReparseTagNameSurrogate(tag->ReparseTag)) {
        // A junction or symbolic link: RemoveDirectoryA and DeleteFileA
        // remove the link itself, never what it points at.
        entry.reset();
        const BOOL removed =
            is_folder ? RemoveDirectoryA(child.c_str()) : DeleteFileA(child.c_str());
        if (!removed || !IsGone(child)) return false;
        continue;
      }
      if (is_folder) pending.push_back({child, *final_path});
    } while (FindNextFileA(search.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) return false;
  }
  return true;
}

// Whether the row `other`, which stays in the list, names the station
// folder (full path `full`, identity `identity`) or something inside it.
bool NamesSameFolder(const std::string& app_dir, const std::string& name, const std::string& full,
                     const std::optional<Identity>& identity, const std::string& other) {
  if (SameFolderText(other, name)) return true;
  std::string raw = other;
  for (char& c : raw) {
    if (c == '/') c = '\\';
  }
  if (StartsWithFolderText(raw, name + "\\")) return true;
  const std::string other_path = app_dir + other;
  if (const auto other_full = FullPath(other_path)) {
    if (SameFolderText(*other_full, full) || StartsWithFolderText(*other_full, full + "\\")) {
      return true;
    }
  }
  // Short 8.3 names and links elsewhere reach the same folder by another name.
  if (identity) {
    if (ScopedHandle entry = OpenEntry(other_path, true)) {
      if (IdentityOf(entry.get()) == identity) return true;
    }
  }
  return false;
}

}  // namespace

void CreateStationFolders(const std::string& app_dir, const std::string& name) {
  const std::string folder = app_dir + name;
  const auto full = FullPath(folder);
  if (!full || full->size() <= app_dir.size() || !StartsWithFolderText(*full, app_dir)) return;
  // Failures (the folder exists, its parent is missing, the name is not
  // allowed) are ignored: the station is listed all the same.
  (void)CreateDirectoryA(folder.c_str(), nullptr);
  (void)CreateDirectoryA((folder + "\\history").c_str(), nullptr);
  (void)CreateDirectoryA((folder + "\\data").c_str(), nullptr);
}

bool DeleteFolderTree(const std::string& path) {
  const auto full = FullPath(path);
  if (!full || full->empty()) return false;
  // The shell's list form: the name, then an empty name. The string's own
  // terminator after the pushed NUL makes the second one.
  std::string from = *full;
  from.push_back('\0');
  SHFILEOPSTRUCTA operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = nullptr;
  operation.fFlags = kDeleteFlags;
  operation.lpszProgressTitle = nullptr;
  operation.hNameMappings = nullptr;
  static const auto file_operation = ShellEntry<decltype(&SHFileOperationA)>("SHFileOperationA");
  return file_operation != nullptr && file_operation(&operation) == 0 &&
         !operation.fAnyOperationsAborted;
}

void WinStationFolders::Create(const std::string& app_dir, const std::string& name) {
  CreateStationFolders(app_dir, name);
}

FolderRemoval WinStationFolders::Remove(const std::string& app_dir, const std::string& name,
                                        const StationRows& remaining) {
  if (!IsOwnFolderName(name)) return FolderRemoval::kKept;
  const std::string folder = app_dir + name;
  const auto full = FullPath(folder);
  if (!full || !SameFolderText(*full, folder)) return FolderRemoval::kKept;

  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // No folder: nothing to delete. Anything else unreadable is kept.
    return IsGone(folder) ? FolderRemoval::kDeleted : FolderRemoval::kKept;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return FolderRemoval::kKept;
  }
  std::optional<Identity> identity;
  std::optional<std::string> final_path;
  {
    ScopedHandle root = OpenEntry(folder, false);
    if (!root) return FolderRemoval::kKept;
    const auto tag = TagOf(root.get());
    if (!tag || (tag->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return FolderRemoval::kKept;
    }
    identity = IdentityOf(root.get());
    final_path = FinalPathOf(root.get());
  }
  if (!final_path || folder.size() + 2 >= MAX_PATH) return FolderRemoval::kKept;

  for (const std::string& other : remaining) {
    if (NamesSameFolder(app_dir, name, *full, identity, other)) return FolderRemoval::kKept;
  }
  if (!UnlinkLinksInside(folder, *final_path)) return FolderRemoval::kKept;
  // The shell shows its own error, if any; the result is not looked at.
  (void)DeleteFolderTree(folder);
  return FolderRemoval::kDeleted;
}
