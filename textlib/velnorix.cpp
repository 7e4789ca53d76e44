// The message-text library. The texts live in static storage, so the
// pointers handed out never dangle; nothing here can throw.

namespace {

struct NumberedText {
  int number;
  const char* text;
};

constexpr NumberedText kTexts[] = {
    {103, "Do you want to remove this station and delete its folder with all its files for good"},
    {104, "Please type the name of the station first."},
    {105, "Please choose a station from the list first."},
};

}  // namespace

extern "C" const char* __stdcall helpTXT(int number) noexcept {
  for (const NumberedText& entry : kTexts) {
    if (entry.number == number) return entry.text;
  }
  return "";
}
