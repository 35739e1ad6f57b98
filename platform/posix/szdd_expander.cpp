#include "platform/posix/szdd_expander.h"

#include <mspack.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

namespace qv::posix {
namespace {

// libmspack opens its files by name through an I/O table of the caller's.
// The "names" handed to it here are pointers to these records, so that it
// works on the descriptors that the caller opened (and checked) itself.
struct FdFile {
  int fd;
  std::uint64_t limit = 0;  // input: the offset reading stops at; output: bytes that may be written
  std::uint64_t written = 0;
  // libmspack hands its output over one byte at a time: collected here, it
  // reaches the kernel in large writes.
  std::unique_ptr<char[]> pending = nullptr;
  std::size_t used = 0;
  bool failed = false;
};

constexpr std::size_t kWriteChunk = 1 << 16;

bool Flush(FdFile& file) {
  const char* from = file.pending.get();
  std::size_t left = file.used;
  while (left > 0 && !file.failed) {
    const ssize_t put = ::write(file.fd, from, left);
    if (put < 0 && errno == EINTR) continue;
    file.failed = put <= 0;
    if (!file.failed) {
      from += put;
      left -= static_cast<std::size_t>(put);
    }
  }
  file.used = 0;
  return !file.failed;
}

mspack_file* Open(mspack_system*, const char* name, int) {
  return reinterpret_cast<mspack_file*>(const_cast<char*>(name));
}

void Close(mspack_file*) {}

FdFile& Of(mspack_file* file) { return *reinterpret_cast<FdFile*>(file); }

int Read(mspack_file* file, void* buffer, int bytes) {
  FdFile& in = Of(file);
  // The limit is an offset in the file: the decompressor seeks past the
  // header before it reads the data.
  const off_t at = ::lseek(in.fd, 0, SEEK_CUR);
  if (bytes < 0 || at < 0) return -1;
  const std::uint64_t left = in.limit > static_cast<std::uint64_t>(at) ? in.limit - static_cast<std::uint64_t>(at) : 0;
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(bytes), left));
  if (wanted == 0) return 0;
  for (;;) {
    const ssize_t got = ::read(in.fd, buffer, wanted);
    if (got >= 0) return static_cast<int>(got);
    if (errno != EINTR) return -1;
  }
}

int Write(mspack_file* file, void* buffer, int bytes) {
  FdFile& out = Of(file);
  if (bytes < 0 || !out.pending) return -1;
  const auto size = static_cast<std::size_t>(bytes);
  if (size > out.limit - out.written) return -1;
  if (out.used + size > kWriteChunk && !Flush(out)) return -1;
  if (size > kWriteChunk) {
    for (std::size_t done = 0; done < size;) {
      const ssize_t put = ::write(out.fd, static_cast<const char*>(buffer) + done, size - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return -1;
      done += static_cast<std::size_t>(put);
    }
  } else if (size == 1) {
    out.pending[out.used++] = *static_cast<const char*>(buffer);
  } else {
    std::memcpy(out.pending.get() + out.used, buffer, size);
    out.used += size;
  }
  out.written += size;
  return bytes;
}

int Seek(mspack_file* file, off_t offset, int mode) {
  if (!Flush(Of(file))) return -1;
  const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
  return ::lseek(Of(file).fd, offset, whence) < 0 ? -1 : 0;
}

off_t Tell(mspack_file* file) { return Flush(Of(file)) ? ::lseek(Of(file).fd, 0, SEEK_CUR) : -1; }

void Message(mspack_file*, const char*, ...) {}

void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }

void Free(void* pointer) { std::free(pointer); }

void Copy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

mspack_system kFdSystem = {Open, Close, Read, Write, Seek, Tell, Message, Alloc, Free, Copy, nullptr};

}  // namespace

SzddExpansion ExpandSzdd(int input, int output, std::uint64_t inputLimit, std::uint64_t outputLimit) {
  SzddExpansion result;
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&kFdSystem);
  if (decompressor == nullptr) return result;
  FdFile in{input, inputLimit};
  FdFile out{output, outputLimit};
  out.pending = std::make_unique<char[]>(kWriteChunk);
  const int error = decompressor->decompress(decompressor, reinterpret_cast<const char*>(&in),
                                             reinterpret_cast<const char*>(&out));
  mspack_destroy_szdd_decompressor(decompressor);
  result.ok = error == MSPACK_ERR_OK && Flush(out);
  result.written = out.written;
  return result;
}

}  // namespace qv::posix
