// A module without the "RegisterPlugin" entry point.
#include <windows.h>

extern "C" __declspec(dllexport) int SomethingElse() {
    return 42;
}
