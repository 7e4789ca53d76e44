#pragma once

#include <string>

#include "core/ports.h"

// The numbered texts of velnorix.dll, copied out of the library at once, and
// the program's own texts from the string table of the running executable
// (textlib/own_texts.rc must be linked into it).
class LibraryMessageTexts final : public MessageTexts {
 public:
  std::string Text(int number) const override;
  std::string Own(OwnText id) const override;
};
