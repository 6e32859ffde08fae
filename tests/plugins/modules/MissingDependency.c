/* A DLL that the test plug-in NeedsDependencyPlugin imports from and that is
 * never put beside it, so that loading the plug-in fails in the system. */
__declspec(dllexport) int MvMissingDependencyAnswer(void) {
    return 42;
}
