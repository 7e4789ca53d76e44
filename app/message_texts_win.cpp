#include "app/message_texts_win.h"

#include "textlib/velnorix.h"

std::string LibraryMessageTexts::Text(int number) const {
  const char* text = helpTXT(number);
  return text != nullptr ? std::string(text) : std::string();
}
