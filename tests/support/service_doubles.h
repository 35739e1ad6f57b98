// In-memory doubles of the platform services, for tests on the testing host:
// a clock that tests move, a switch port that records every register write,
// a printer list, a launcher that records what it would start, and a
// profile store wrapper that records every write. All of them can append to
// one shared event log, so tests can check the order across services.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/printer_store.h"
#include "platform/profile_store.h"
#include "platform/switch_port.h"

namespace qv {
// The register offsets as the recording port names its writes (those of the
// PC parallel-port layout). Kept apart from the Windows driver's own, so that
// a wrong offset there still shows in its tests.
inline constexpr std::uint32_t kDataRegister = 0;
inline constexpr std::uint32_t kControlRegister = 2;
}  // namespace qv

namespace qv::testing {

using EventLog = std::vector<std::string>;

// Each reading moves time on by `step`, as time passes while a program
// polls; the tick count follows the precise time. A program that reads the
// clock without end fails the test instead of hanging it.
class FakeClock final : public Clock {
 public:
  std::chrono::nanoseconds now{0};
  std::chrono::nanoseconds step{std::chrono::microseconds(100)};
  std::uint32_t tickBase = 0;  // the tick count at precise time 0
  long reads = 0;

  std::uint32_t TickCount() override;
  std::chrono::nanoseconds PreciseNow() override;
  std::uint32_t PeekTickCount() const;
};

// One register write as the switch sees it: which port, which register.
struct RegisterWrite {
  std::uint32_t port;
  std::uint32_t registerOffset;
  std::uint8_t value;
  friend bool operator==(const RegisterWrite&, const RegisterWrite&) = default;
};

struct RecordedRequest {
  RegisterWrite request;
  std::chrono::nanoseconds at;
  std::uint32_t tickAt;
  long clockReadsBefore;
};

class RecordingSwitchPort final : public SwitchPort {
 public:
  explicit RecordingSwitchPort(FakeClock* clock = nullptr, EventLog* log = nullptr) : clock_(clock), log_(log) {}

  std::optional<PortFailure> openFailure;  // set: every open fails with it
  int failWriteNumber = -1;  // the n-th write of a session (from 0) fails
  int opens = 0;
  int closes = 0;
  std::vector<RecordedRequest> requests;
  std::vector<std::chrono::nanoseconds> closedAt;

  PortOpening Open(std::uint32_t lpt) override;

 private:
  friend class RecordingSession;
  FakeClock* clock_;
  EventLog* log_;
};

struct FakePrinter {
  long status = 0;
  std::string name;
  std::string data;  // the device description bytes, as stored
};

class FakePrinterStore final : public PrinterStore {
 public:
  explicit FakePrinterStore(EventLog* log = nullptr) : log_(log) {}

  std::vector<FakePrinter> printers;
  bool listOpens = true;
  bool defaultOpens = true;
  int openLists = 0;
  std::vector<std::string> defaultWrites;

  bool OpenDeviceList() override;
  unsigned DeviceCount() override { return static_cast<unsigned>(printers.size()); }
  PrinterDeviceEntry Device(unsigned index) override;
  void CloseDeviceList() override { --openLists; }
  bool WriteDefaultDevice(std::string_view value) override;

 private:
  EventLog* log_;
};

class RecordingLauncher final : public Launcher {
 public:
  explicit RecordingLauncher(EventLog* log = nullptr) : log_(log) {}
  std::vector<std::string> started;
  void Start(std::string_view commandLine) override;

 private:
  EventLog* log_;
};

struct ProfileWrite {
  std::string section, key, value, file;
  friend bool operator==(const ProfileWrite&, const ProfileWrite&) = default;
};

// Passes everything on to a real store and records the writes.
class RecordingProfileStore final : public ProfileStore {
 public:
  explicit RecordingProfileStore(ProfileStore& inner, EventLog* log = nullptr) : inner_(inner), log_(log) {}
  std::vector<ProfileWrite> writes;
  // How the writes arrived: one by one, or in batches of WriteStrings.
  int singles = 0;
  int batches = 0;

  Text256 ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                     std::string_view file) override {
    return inner_.ReadString(section, key, defaultValue, file);
  }
  int ReadInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) override {
    return inner_.ReadInt(section, key, defaultValue, file);
  }
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override;
  // Records each entry, and hands the batch on as one.
  bool WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) override;

 private:
  void Record(std::string_view section, std::string_view key, std::string_view value, std::string_view file);

  ProfileStore& inner_;
  EventLog* log_;
};

}  // namespace qv::testing
