// The kernel-like ppdev double against what it stands for. The lock is
// flock(2), which this machine has: the same cases run on a real file
// through the real calls. The port's own calls follow the kernel's ppdev
// driver (drivers/char/ppdev.c, drivers/parport/share.c and ieee1284_ops.c):
// PPCLAIM sleeps interruptibly in parport_claim_or_block and answers -EINTR
// to a signal; a second PPCLAIM is -EINVAL; every other ioctl and write(2)
// need the claim (-EINVAL); write(2) loops over 1024-byte chunks, stops with
// the count so far when a signal is pending and returns 0 when the
// compatibility-mode write timed out with nothing sent.
#include "tests/support/kernel_like_ppdev.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <thread>

#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

// Runs `call` on a thread and signals that thread (a handler without
// SA_RESTART) until the call has returned; the call's answer.
int InterruptedAnswer(const std::function<int()>& call) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  sigaction(SIGUSR2, &action, nullptr);
  std::atomic<bool> done{false};
  int answer = 0;
  std::thread worker([&] {
    answer = call();
    done = true;
  });
  while (!done) {
    pthread_kill(worker.native_handle(), SIGUSR2);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  worker.join();
  return answer;
}

TEST(PortLock, IsExclusivePerOpenFileInterruptibleAndDroppedOnClose) {
  for (const bool real : {false, true}) {
    SCOPED_TRACE(real ? "flock on a real file" : "kernel-like double");
    TempDir dir;
    std::unique_ptr<posix::PpdevCalls> calls;
    std::string path = "/dev/parport0";
    if (real) {
      path = (dir / "device").string();
      WriteFileBytes(path, "");
      calls = std::make_unique<posix::SystemPpdevCalls>();
    } else {
      auto kernel = std::make_unique<KernelLikePpdev>();
      kernel->Add(path);
      calls = std::move(kernel);
    }
    int first = -1, second = -1;
    ASSERT_EQ(calls->Open(path, first), 0);
    ASSERT_EQ(calls->Open(path, second), 0);
    EXPECT_EQ(calls->Lock(first, false), 0);
    EXPECT_EQ(calls->Lock(first, false), 0) << "the holder may take it again";
    EXPECT_EQ(calls->Lock(second, false), EWOULDBLOCK);
    EXPECT_EQ(InterruptedAnswer([&] { return calls->Lock(second, true); }), EINTR);
    calls->Close(first);
    EXPECT_EQ(calls->Lock(second, true), 0);
    calls->Close(second);
  }
}

TEST(KernelLikePpdev, ClaimSleepsWhileThePortIsHeldAndASignalEndsTheSleep) {
  KernelLikePpdev kernel;
  kernel.Add("/dev/parport0").heldByDriver = true;
  int fd = -1, other = -1;
  ASSERT_EQ(kernel.Open("/dev/parport0", fd), 0);
  ASSERT_EQ(kernel.Open("/dev/parport0", other), 0);
  EXPECT_EQ(InterruptedAnswer([&] { return kernel.Claim(fd); }), EINTR);
  kernel.SetHeldByDriver("/dev/parport0", false);
  EXPECT_EQ(kernel.Claim(fd), 0);
  EXPECT_EQ(kernel.Claim(fd), EINVAL) << "a second claim on the same file";
  EXPECT_EQ(InterruptedAnswer([&] { return kernel.Claim(other); }), EINTR) << "held by another open file";
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kernel.Release(fd);
  });
  EXPECT_EQ(kernel.Claim(other), 0) << "the sleeper gets the port once it is released";
  release.join();
}

TEST(KernelLikePpdev, EverythingButTheClaimNeedsTheClaim) {
  KernelLikePpdev kernel;
  kernel.Add("/dev/parport0");
  int fd = -1;
  ASSERT_EQ(kernel.Open("/dev/parport0", fd), 0);
  std::uint8_t status = 0;
  const std::uint8_t byte = 0x41;
  EXPECT_EQ(kernel.WriteData(fd, 1), EINVAL);
  EXPECT_EQ(kernel.WriteControl(fd, 0x0C), EINVAL);
  EXPECT_EQ(kernel.ReadStatus(fd, status), EINVAL);
  EXPECT_EQ(kernel.Write(fd, {&byte, 1}), -EINVAL);
  EXPECT_EQ(kernel.Release(fd), EINVAL);
  ASSERT_EQ(kernel.Claim(fd), 0);
  EXPECT_EQ(kernel.WriteData(fd, 1), 0);
  EXPECT_EQ(kernel.ReadStatus(fd, status), 0);
  EXPECT_EQ(status, 0xDF);
}

TEST(KernelLikePpdev, AWriteIsWholeShortAfterASignalOrNothingAfterTheTimeOut) {
  KernelLikePpdev kernel;
  auto& device = kernel.Add("/dev/parport0");
  device.writes = {KernelLikePpdev::kFull, 2048, KernelLikePpdev::kNothing};
  int fd = -1;
  ASSERT_EQ(kernel.Open("/dev/parport0", fd), 0);
  ASSERT_EQ(kernel.Claim(fd), 0);
  std::vector<std::uint8_t> data(5000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  EXPECT_EQ(kernel.Write(fd, data), 5000);
  EXPECT_EQ(kernel.Write(fd, data), 2048);
  EXPECT_EQ(kernel.Write(fd, data), 0);
  ASSERT_EQ(device.received.size(), 7048u);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 2048, device.received.begin() + 5000));
}

}  // namespace
}  // namespace qv::testing
