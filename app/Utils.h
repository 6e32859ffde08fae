// Small routines used across the program's windows.
#pragma once

#include <cstdint>
#include <string>

int32_t Max(int32_t A, int32_t B);
// True when every character is an ASCII letter or digit (also for "").
bool IsValidName(const std::string& Name);

#ifdef _WIN32
// The serial number of the volume at RootPath (such as "C:\") as eight
// upper-case hexadecimal digits, or "" when it cannot be read.
std::string GetVolumeSerial(const std::string& RootPath);
// The file-system path of a shell special folder (a CSIDL number, 5 for My
// Documents), or "" when the shell cannot tell.
std::string GetSpecialFolderPath(int FolderID);
#endif
