#include "textlib/message_texts_win.h"

#include <windows.h>

#include "base/system_text_win.h"
#include "core/own_text_ids.h"
#include "textlib/velnorix.h"

std::string LibraryMessageTexts::Text(int number) const {
  const char* text = helpTXT(number);
  return text != nullptr ? std::string(text) : std::string();
}

std::string LibraryMessageTexts::Own(OwnText id) const {
  UINT resource = IDS_FOLDER_KEPT;
  switch (id) {
    case OwnText::kFolderKept:
      resource = IDS_FOLDER_KEPT;
      break;
    case OwnText::kListNotLoaded:
      resource = IDS_LIST_NOT_LOADED;
      break;
    case OwnText::kOutOfMemory:
      resource = IDS_OUT_OF_MEMORY;
      break;
    case OwnText::kStationOnAir:
      resource = IDS_STATION_ON_AIR;
      break;
  }
  // With a buffer size of 0, LoadStringW hands out a pointer to the text in
  // the loaded image and its length, so no buffer limits the text.
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), resource, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::string();
  return Narrow(std::wstring(text, static_cast<std::size_t>(length)));
}
