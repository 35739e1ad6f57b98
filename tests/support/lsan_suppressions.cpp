// Linked into every test program of the sanitizer build: fontconfig, which
// Qt loads for its fonts, keeps a cache that it never frees before the
// program exits. That is fontconfig's own business, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
