// How long the native QV27-518 takes from exec until its setting dialog is
// on the screen with the stored configuration in it: the real program, a
// prepared configuration file, N starts on an X server (a private Xvfb
// unless DISPLAY names one). "Shown" is the X server mapping the dialog's
// window, which the program does only after the dialog has read the file
// and filled its controls; the program itself carries no measuring hook.
//   build/linux/bin/setting_startup_bench [starts] [program]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kTitle = "QV27-518 Setting Program";

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// A private Xvfb; its display number arrives through a pipe.
pid_t StartXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 9);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"), const_cast<char*>("9"),
                  const_cast<char*>("-screen"), const_cast<char*>("0"),
                  const_cast<char*>("1024x768x24"), const_cast<char*>("-nolisten"),
                  const_cast<char*>("tcp"), const_cast<char*>("-noreset"), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return -1;
  }
  std::string display;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
  close(fds[0]);
  if (display.empty()) return -1;
  setenv("DISPLAY", (":" + display).c_str(), 1);
  return pid;
}

bool IsSettingDialog(Display* display, Window window) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return false;
  const bool match = std::string(name) == kTitle;
  XFree(name);
  return match;
}

// One start: the time until the dialog's window is mapped; negative when the
// program ended first.
double TimeOneStart(Display* display, const std::string& program) {
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn({program});
  if (pid < 0) return -1;
  double ms = -1;
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && IsSettingDialog(display, event.xmap.window))
        ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    if (ms >= 0) break;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return -1;
    // Sleeps until the X server has something to say.
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(display), &fds);
    timeval limit{1, 0};
    select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &limit);
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const std::string program =
      argc > 2 ? argv[2] : (fs::path(argv[0]).parent_path() / "QV27-518").string();

  // The prepared configuration, in a folder of the bench's own; no print
  // server is asked (the dialog does not ask one at start).
  const fs::path dir = fs::temp_directory_path() / ("qv-startup-bench-" + std::to_string(getpid()));
  fs::create_directories(dir / "qv27-518");
  std::ofstream(dir / "qv27-518" / "QV27-518.ini")
      << "[Configuration]\nPortCount=3\nMode=Mode1-2\nMode1-2=PB\n"
         "[Printer Alias]\nPrinter1=Front\nPrinter2=Back\n"
         "[Printer Name]\nPrinter1=Laser A\nPrinter2=Laser B\n";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  setenv("HOME", dir.c_str(), 1);
  setenv("CUPS_SERVER", (dir / "no-server.sock").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);

  pid_t xvfb = -1;
  if (!std::getenv("DISPLAY") && (xvfb = StartXvfb()) < 0) {
    std::fprintf(stderr, "setting_startup_bench: no DISPLAY and Xvfb did not start\n");
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "setting_startup_bench: cannot open the display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  std::vector<double> times;
  TimeOneStart(display, program);  // warms the page cache and the font cache
  for (int i = 0; i < starts; ++i) {
    const double ms = TimeOneStart(display, program);
    if (ms < 0) {
      std::fprintf(stderr, "setting_startup_bench: the program ended before its dialog showed\n");
      return 1;
    }
    std::printf("start %d: %.1f ms\n", i + 1, ms);
    times.push_back(ms);
  }
  XCloseDisplay(display);
  if (xvfb > 0) {
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
  }
  fs::remove_all(dir);
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
  std::printf("setting dialog: median %.0f ms from start to shown\n", median);
  return 0;
}
