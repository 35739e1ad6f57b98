// A program for the launcher's tests: writes its process id and then each
// of its arguments (argv[0] included) NUL-terminated into the file that
// QV_ARGV_FILE names. The file appears whole, by rename, or not at all.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* target = std::getenv("QV_ARGV_FILE");
  if (!target) return 2;
  const std::string partial = std::string(target) + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return 2;
  std::fprintf(out, "%ld", static_cast<long>(getpid()));
  std::fputc('\0', out);
  for (int i = 0; i < argc; ++i) {
    std::fputs(argv[i], out);
    std::fputc('\0', out);
  }
  if (std::fclose(out) != 0) return 2;
  return std::rename(partial.c_str(), target) == 0 ? 0 : 2;
}
