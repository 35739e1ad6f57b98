#include "tests/support/service_doubles.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace qv::testing {

std::uint32_t FakeClock::PeekTickCount() const {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now);
  return tickBase + static_cast<std::uint32_t>(ms.count());
}

std::uint32_t FakeClock::TickCount() {
  const std::uint32_t ticks = PeekTickCount();
  PreciseNow();
  return ticks;
}

std::chrono::nanoseconds FakeClock::PreciseNow() {
  if (++reads > 10'000'000) throw std::runtime_error("the clock was read without end");
  return std::exchange(now, now + step);
}

class RecordingSession final : public PortSession {
 public:
  RecordingSession(RecordingSwitchPort& port, std::uint32_t lpt) : port_(port), lpt_(lpt) {}
  ~RecordingSession() override {
    ++port_.closes;
    port_.closedAt.push_back(port_.clock_ ? port_.clock_->now : std::chrono::nanoseconds{});
    if (port_.log_) port_.log_->push_back("port close");
  }
  bool WriteControl(std::uint8_t value) override { return Record(kControlRegister, value); }
  bool WriteData(std::uint8_t value) override { return Record(kDataRegister, value); }

 private:
  bool Record(std::uint32_t registerOffset, std::uint8_t value) {
    if (writes_++ == port_.failWriteNumber) return false;
    FakeClock* clock = port_.clock_;
    port_.requests.push_back({{lpt_, registerOffset, value}, clock ? clock->now : std::chrono::nanoseconds{},
                              clock ? clock->PeekTickCount() : 0, clock ? clock->reads : 0});
    return true;
  }

  RecordingSwitchPort& port_;
  std::uint32_t lpt_;
  int writes_ = 0;
};

PortOpening RecordingSwitchPort::Open(std::uint32_t lpt) {
  if (openFailure) {
    if (log_) log_->push_back("port absent");
    return {nullptr, *openFailure};
  }
  ++opens;
  if (log_) log_->push_back("port open");
  return {std::make_unique<RecordingSession>(*this, lpt)};
}

bool FakePrinterStore::OpenDeviceList() {
  if (!listOpens) return false;
  ++openLists;
  return true;
}

PrinterDeviceEntry FakePrinterStore::Device(unsigned index) {
  PrinterDeviceEntry entry;
  const FakePrinter& printer = printers.at(index);
  entry.status = printer.status;
  entry.name.Assign(printer.name);
  std::copy_n(printer.data.begin(), std::min(printer.data.size(), entry.data.size()), entry.data.begin());
  return entry;
}

bool FakePrinterStore::WriteDefaultDevice(std::string_view value) {
  if (!defaultOpens) return false;
  defaultWrites.emplace_back(value);
  if (log_) log_->push_back("default " + std::string(value));
  return true;
}

void RecordingLauncher::Start(std::string_view commandLine) {
  started.emplace_back(commandLine);
  if (log_) log_->push_back("start " + std::string(commandLine));
}

void RecordingProfileStore::Record(std::string_view section, std::string_view key, std::string_view value,
                                   std::string_view file) {
  writes.push_back({std::string(section), std::string(key), std::string(value), std::string(file)});
  if (log_) log_->push_back("write " + std::string(section) + "/" + std::string(key));
}

bool RecordingProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value,
                                        std::string_view file) {
  ++singles;
  Record(section, key, value, file);
  return inner_.WriteString(section, key, value, file);
}

bool RecordingProfileStore::WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) {
  ++batches;
  for (const ProfileEntry& entry : entries) Record(entry.section, entry.key, entry.value, file);
  return inner_.WriteStrings(entries, file);
}

}  // namespace qv::testing
