// How long a selection command takes with the real precise clock, and how
// short its shortest pause after a data byte is. A selection command has 18
// data bytes, each followed by at least a millisecond: 18 ms is the floor.
//   build/linux/bin/switch_command_bench [repetitions]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/posix/posix_clock.h"
#include "setting/switch_command.h"

namespace {

using Nanoseconds = std::chrono::nanoseconds;

// A port that keeps, for every request, the time it arrived.
class TimedPort final : public qv::SwitchPort {
 public:
  explicit TimedPort(qv::Clock& clock) : clock_(clock) {}

  struct Request {
    bool data;
    Nanoseconds at;
  };
  std::vector<Request> requests;
  Nanoseconds closedAt{};

  qv::PortOpening Open(std::uint32_t) override { return {std::make_unique<Session>(*this)}; }

 private:
  class Session final : public qv::PortSession {
   public:
    explicit Session(TimedPort& port) : port_(port) {}
    ~Session() override { port_.closedAt = port_.clock_.PreciseNow(); }
    bool WriteControl(std::uint8_t) override { return Record(false); }
    bool WriteData(std::uint8_t) override { return Record(true); }

   private:
    bool Record(bool data) {
      port_.requests.push_back({data, port_.clock_.PreciseNow()});
      return true;
    }
    TimedPort& port_;
  };
  qv::Clock& clock_;
};

double Milliseconds(Nanoseconds duration) { return static_cast<double>(duration.count()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  qv::posix::PosixClock clock;
  const qv::SwitchCommand* commands[] = {&qv::switch_commands::kSelectA, &qv::switch_commands::kSelectB,
                                         &qv::switch_commands::kBroadcast};
  std::vector<Nanoseconds> durations;
  Nanoseconds shortestPause = Nanoseconds::max();
  for (int i = 0; i < repetitions; ++i) {
    for (const qv::SwitchCommand* command : commands) {
      TimedPort port(clock);
      const Nanoseconds start = clock.PreciseNow();
      qv::WriteCommandToPort(port, clock, 1, command->head, command->tail);
      durations.push_back(clock.PreciseNow() - start);
      for (std::size_t r = 0; r < port.requests.size(); ++r) {
        if (!port.requests[r].data) continue;
        const Nanoseconds next = r + 1 < port.requests.size() ? port.requests[r + 1].at : port.closedAt;
        shortestPause = std::min(shortestPause, next - port.requests[r].at);
      }
    }
  }
  std::sort(durations.begin(), durations.end());
  const Nanoseconds median = durations[durations.size() / 2];
  std::printf("%zu selection commands: shortest %.3f ms, longest %.3f ms\n", durations.size(),
              Milliseconds(durations.front()), Milliseconds(durations.back()));
  std::printf("selection command: median %.3f ms, shortest pause %.3f ms, floor 18 ms\n", Milliseconds(median),
              Milliseconds(shortestPause));
  return 0;
}
