// The win32 switch port: the exact 9-byte requests that a command hands the
// port driver, and the real driver, which a Wine prefix does not have.
#include "platform/win32/win32_switch_port.h"

#include <gtest/gtest.h>

#include <vector>

#include "setting/switch_command.h"
#include "tests/support/service_doubles.h"

namespace qv::win32 {
namespace {

using Bytes = std::array<std::uint8_t, PortIoRequest::kSize>;

class RecordingDriver final : public PortDriver {
 public:
  HANDLE handle = reinterpret_cast<HANDLE>(0x1234);
  std::vector<Bytes> requests;
  int closes = 0;
  HANDLE OpenDevice() override { return handle; }
  void Request(HANDLE device, const Bytes& request) override {
    EXPECT_EQ(device, handle);
    requests.push_back(request);
  }
  void CloseDevice(HANDLE device) override {
    EXPECT_EQ(device, handle);
    ++closes;
  }
};

TEST(Win32SwitchPort, ACommandIsOneRequestPerRegisterWriteInNinePackedLittleEndianBytes) {
  EXPECT_EQ((PortIoRequest{0x04030201, 0x08070605, 0xC3}.Serialise()),
            (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0xC3}));

  RecordingDriver driver;
  Win32SwitchPort port(driver);
  testing::FakeClock clock;
  EXPECT_EQ(WriteCommandToPort(port, clock, 2, switch_commands::kSelectA.head, switch_commands::kSelectA.tail),
            std::nullopt);
  std::vector<Bytes> expected{{2, 0, 0, 0, 2, 0, 0, 0, 0x0C}};
  for (auto byte : switch_commands::kSelectA.head) expected.push_back({2, 0, 0, 0, 0, 0, 0, 0, byte});
  expected.push_back({2, 0, 0, 0, 2, 0, 0, 0, 0x0C});
  for (auto byte : switch_commands::kSelectA.tail) expected.push_back({2, 0, 0, 0, 0, 0, 0, 0, byte});
  EXPECT_EQ(driver.requests, expected);
  EXPECT_EQ(driver.closes, 1);
}

TEST(Win32SwitchPort, WithoutTheDriverTheCommandIsDroppedAsAbsent) {
  Win32PortDriver real;
  ASSERT_EQ(real.OpenDevice(), INVALID_HANDLE_VALUE) << "this prefix has the switch's driver";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  Win32SwitchPort port(real);
  testing::FakeClock clock;
  EXPECT_EQ(WriteCommandToPort(port, clock, 1, switch_commands::kSelectB.head, switch_commands::kSelectB.tail),
            PortFailure::kAbsent);
  EXPECT_EQ(clock.reads, 0);
}

}  // namespace
}  // namespace qv::win32
