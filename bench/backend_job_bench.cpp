// The backend's own cost on a job: the time from its start to the first
// byte of data against the command's floor (18 data bytes with a
// millisecond after each, plus the settle time), and its data rate into the
// port stand-in beside cat's into the same stand-in in the same run.
//   build/linux/bin/backend_job_bench [megabytes] [runs]
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC, as the stand-in's times

long long NowNs() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); }

// Takes the data from the FIFO as fast as it comes.
class Drain {
 public:
  explicit Drain(const fs::path& fifo) : fd_(open(fifo.c_str(), O_RDWR | O_CLOEXEC)) {
    thread_ = std::thread([this] {
      std::vector<char> buffer(1 << 20);
      while (!stop_) {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, 10) <= 0) continue;
        const ssize_t got = read(fd_, buffer.data(), buffer.size());
        if (got > 0) bytes_ += got;
      }
    });
  }
  ~Drain() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  long long bytes() const { return bytes_; }

 private:
  int fd_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> bytes_{0};
  std::thread thread_;
};

int Run(std::vector<std::string> args, const std::string& out = {}) {
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!out.empty()) posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) return -1;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::max(1L, std::atol(argv[1])) : 64;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const fs::path dir = fs::temp_directory_path() / ("qv-backend-bench." + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path fifo = dir / "parport0", events = dir / "events", job = dir / "job";
  mkfifo(fifo.c_str(), 0600);
  {
    std::ofstream out(job, std::ios::binary);
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131);
    for (long i = 0; i < megabytes; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  const long long size = megabytes << 20;
  setenv("QV_PORT_STANDIN", dir.c_str(), 1);
  setenv("DEVICE_URI", "qv27-518:/dev/parport0?printer=A", 1);
  const double floorMs = 18 + 10;  // the command's pauses and the default settle time

  std::vector<double> overheads, rates, catRates;
  for (int run = 0; run < runs; ++run) {
    {
      std::ofstream(events, std::ios::trunc);
      Drain drain(fifo);
      const long long start = NowNs();
      if (Run({QV_STANDIN_BACKEND, "1", "bench", "job", "1", "", job.string()}) != 0) {
        std::fprintf(stderr, "the backend failed\n");
        return 1;
      }
      while (drain.bytes() < size) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const long long end = NowNs();
      std::istringstream in([&] {
        std::ifstream file(events);
        return std::string(std::istreambuf_iterator<char>(file), {});
      }());
      long long at = 0, firstWrite = 0;
      int pid = 0;
      std::string call;
      while (in >> at >> pid && std::getline(in >> std::ws, call))
        if (!firstWrite && call.rfind("write", 0) == 0) firstWrite = at;
      overheads.push_back((firstWrite - start) / 1e6 - floorMs);
      rates.push_back(size / 1048576.0 / ((end - firstWrite) / 1e9));
    }
    {
      Drain drain(fifo);
      const long long start = NowNs();
      Run({"/bin/cat", job.string()}, fifo.string());
      while (drain.bytes() < size) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      catRates.push_back(size / 1048576.0 / ((NowNs() - start) / 1e9));
    }
  }
  fs::remove_all(dir);
  std::printf("%d runs of a %ld MB job on printer A (settle 10 ms)\n", runs, megabytes);
  std::printf("backend job: overhead %.1f ms over the command floor, data %.0f MB/s (cat: %.0f MB/s)\n",
              Median(overheads), Median(rates), Median(catRates));
  return 0;
}
