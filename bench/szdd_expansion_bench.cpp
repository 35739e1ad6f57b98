// How fast the linux installer's copy expands an SZDD file, beside libmspack
// expanding the same file on its own: the temporary file, the length check
// and the rename should cost nothing that matters. Makes a 15 MB file once,
// then expands it several times each way, alternating, and reports medians.
#include <mspack.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/posix_installer_file_system.h"
#include "tests/support/szdd.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kExpandedSize = 15u * 1000 * 1000;
constexpr int kRounds = 7;

// Something like a program file: runs of text, repeated code-like blocks
// and stretches of noise that do not compress.
std::string SampleData() {
  std::mt19937 random(518);
  std::string data;
  data.reserve(kExpandedSize);
  std::vector<std::string> blocks;
  for (int i = 0; i < 64; ++i) {
    std::string block;
    for (int j = 0; j < 200; ++j) block += static_cast<char>(random() % 40 + 40);
    blocks.push_back(block);
  }
  while (data.size() < kExpandedSize) {
    switch (random() % 4) {
      case 0: data += "printer port " + std::to_string(random() % 3 + 1) + " ready; "; break;
      case 1: data += blocks[random() % blocks.size()]; break;
      case 2:
        for (int j = 0; j < 40; ++j) data += static_cast<char>(random());
        break;
      default: data.append(random() % 64, '\0');
    }
  }
  data.resize(kExpandedSize);
  return data;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  qv::testing::TempDir work;
  const fs::path source = work / "SAMPLE.BI_";
  {
    const std::string data = SampleData();
    qv::testing::WriteFileBytes(source, qv::testing::CompressSzdd(data));
  }
  std::printf("SZDD file: %ju bytes, %zu expanded\n", static_cast<std::uintmax_t>(fs::file_size(source)),
              kExpandedSize);

  qv::posix::PosixInstallerFileSystem files(work.path(), work / "windows", work / "system");
  msszdd_decompressor* direct = mspack_create_szdd_decompressor(nullptr);
  if (direct == nullptr) return 1;
  const std::string ours = (work / "ours.bin").string();
  const std::string theirs = (work / "direct.bin").string();

  std::vector<double> oursRate, directRate;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    if (files.CopyExpanded(source.string(), ours) != qv::LzCopyResult::Copied) return 1;
    std::chrono::duration<double> seconds = Clock::now() - start;
    oursRate.push_back(kExpandedSize / 1e6 / seconds.count());

    ::unlink(theirs.c_str());
    start = Clock::now();
    if (direct->decompress(direct, source.c_str(), theirs.c_str()) != MSPACK_ERR_OK) return 1;
    seconds = Clock::now() - start;
    directRate.push_back(kExpandedSize / 1e6 / seconds.count());
  }
  mspack_destroy_szdd_decompressor(direct);
  if (fs::file_size(ours) != kExpandedSize || fs::file_size(theirs) != kExpandedSize) return 1;
  std::printf("szdd expansion: %.1f MB/s (libmspack direct: %.1f MB/s)\n", Median(oursRate), Median(directRate));
  return 0;
}
