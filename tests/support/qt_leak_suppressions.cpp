// The leak checker of the sanitizer build reads this list: fontconfig keeps
// its caches for the life of the process (Qt asks it once for every face),
// which the checker would report at exit. Our own allocations stay checked.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
