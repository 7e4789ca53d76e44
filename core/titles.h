#pragma once

// The names the world outside sees.

// The application title: the title of the hidden application window (the
// one a second copy finds), of the message box and the error box, and the
// name of the single-instance lock.
inline constexpr char kApplicationTitle[] = "CONTROLLER";

// The controller window's class and caption.
inline constexpr char kMainWindowClass[] = "Tmusicstations";
inline constexpr char kMainWindowCaption[] = "TALVEX Morvelle";
