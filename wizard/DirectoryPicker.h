// The directory picker of the directory page: the classic save-file dialog
// with the program's template 1536, of which only the directory and drive
// lists, the full-path text and a "New Subdirectory" edit are visible. It
// creates nothing on disk.
#pragma once
#include <windows.h>

#include <string>

// In: the path to start from; a path that does not exist starts in its parent
// with its last part as the new subdirectory. Out, on OK: the chosen
// directory joined with the subdirectory text. Goes through the prompt seam.
bool PickDirectory(HWND owner, std::string& path);
