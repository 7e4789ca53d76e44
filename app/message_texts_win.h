#pragma once

#include <string>

#include "app/ports.h"

// The numbered texts of velnorix.dll, copied out of the library at once.
class LibraryMessageTexts final : public MessageTexts {
 public:
  std::string Text(int number) const override;
};
