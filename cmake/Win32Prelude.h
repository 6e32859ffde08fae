// Put in front of every C++ file of the Win32 build. windows.h defines GetObject
// as a macro (GetObjectA), which would rename the string lists' GetObject in
// some files and not in others, depending on include order. Including it first
// everywhere and dropping that one macro keeps the name the same in all files;
// the GDI function is called by its explicit name, GetObjectA.
#pragma once
#include <windows.h>
#undef GetObject
