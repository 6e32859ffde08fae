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
// Documents), or "" when the shell cannot tell or when its name cannot be held
// in the code page of file names (below).
std::string GetSpecialFolderPath(int FolderID);
// The same as Windows names it (L"" when the shell cannot tell).
std::wstring GetSpecialFolderPathW(int FolderID);
// The running program's folder as Windows names it, without a trailing delimiter.
std::wstring ProgramFolderW();

// The program names every file in the code page of Windows' "A" file functions
// (the ANSI code page, Windows-1252 in western Europe and America): its number.
unsigned FileNameCodePage();
// Name in that code page. False when a character of it has no place there:
// Narrow then holds '?' for each such character and names no file.
bool FileNameInCodePage(const std::wstring& Name, std::string& Narrow);
#endif
