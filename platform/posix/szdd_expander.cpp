#include "platform/posix/szdd_expander.h"

#include <mspack.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qv::posix {
namespace {

// libmspack opens its files by name through an I/O table of the caller's.
// The "names" handed to it here are pointers to these records, so that it
// works on the descriptors that the caller opened (and checked) itself.
struct FdFile {
  int fd;
  std::uint64_t written;
};

mspack_file* Open(mspack_system*, const char* name, int) {
  return reinterpret_cast<mspack_file*>(const_cast<char*>(name));
}

void Close(mspack_file*) {}

FdFile& Of(mspack_file* file) { return *reinterpret_cast<FdFile*>(file); }

int Read(mspack_file* file, void* buffer, int bytes) {
  for (;;) {
    const ssize_t got = ::read(Of(file).fd, buffer, static_cast<std::size_t>(bytes));
    if (got >= 0) return static_cast<int>(got);
    if (errno != EINTR) return -1;
  }
}

int Write(mspack_file* file, void* buffer, int bytes) {
  const char* from = static_cast<const char*>(buffer);
  int left = bytes;
  while (left > 0) {
    const ssize_t put = ::write(Of(file).fd, from, static_cast<std::size_t>(left));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return -1;
    from += put;
    left -= static_cast<int>(put);
  }
  Of(file).written += static_cast<std::uint64_t>(bytes);
  return bytes;
}

int Seek(mspack_file* file, off_t offset, int mode) {
  const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
  return ::lseek(Of(file).fd, offset, whence) < 0 ? -1 : 0;
}

off_t Tell(mspack_file* file) { return ::lseek(Of(file).fd, 0, SEEK_CUR); }

void Message(mspack_file*, const char*, ...) {}

void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }

void Free(void* pointer) { std::free(pointer); }

void Copy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

mspack_system kFdSystem = {Open, Close, Read, Write, Seek, Tell, Message, Alloc, Free, Copy, nullptr};

}  // namespace

SzddExpansion ExpandSzdd(int input, int output) {
  SzddExpansion result;
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&kFdSystem);
  if (decompressor == nullptr) return result;
  FdFile in{input, 0};
  FdFile out{output, 0};
  const int error = decompressor->decompress(decompressor, reinterpret_cast<const char*>(&in),
                                             reinterpret_cast<const char*>(&out));
  mspack_destroy_szdd_decompressor(decompressor);
  result.ok = error == MSPACK_ERR_OK;
  result.written = out.written;
  return result;
}

}  // namespace qv::posix
