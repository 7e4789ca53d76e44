#pragma once

#include <string_view>

// Empty, or only spaces (character 32) and at most 250 of them. Tabs are
// not spaces, and 251 spaces are not blank.
bool IsBlank(std::string_view text);

// Whether `name`, put directly after AppDir, can only ever name a folder of
// its own directly inside AppDir: not blank, not "." or "..", no "\", "/" or
// ":", no wildcard, control character or < > " |, no trailing dot or space,
// and not a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with
// or without an extension). The checks that need the file system (full
// path, links, other rows naming the same folder) come on top of this.
bool IsOwnFolderName(std::string_view name);
