// Defaults of the sanitizers for every test program, so that a test run by hand or by CTest
// checks the same way scripts/test does. Compiled into each test executable (a static library
// would leave these unreferenced symbols out).

// Leaks in system libraries, not in our code: fontconfig keeps its configuration and font
// cache for the life of the process.
// (scripts/test also names tests/lsan.supp for the tools the tests start.)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
