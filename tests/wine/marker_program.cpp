// A stand-in for the user's file-transfer program: it leaves a file that
// says it ran, with its command line, where its first argument names.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string line = commandLine;
  const std::size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) return 1;
  const std::size_t end = line.find(' ', start);
  const std::string path = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  const std::string text = "ran: " + line;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
