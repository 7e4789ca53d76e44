#pragma once

// The window's thread joins a single-threaded apartment for as long as this
// object lives: the shell may hand a start to extensions that need one, and
// an accessible object handed to a screen reader is marshalled through it.
// Without it, Windows refuses the marshalling (CO_E_NOTINITIALIZED).
class UiThreadApartment {
 public:
  UiThreadApartment();
  ~UiThreadApartment();
  UiThreadApartment(const UiThreadApartment&) = delete;
  UiThreadApartment& operator=(const UiThreadApartment&) = delete;

  // False when the thread was already in a multithreaded apartment: the
  // program goes on, as it did before it joined one.
  bool Joined() const { return joined_; }

 private:
  bool joined_ = false;
};
