// The path rules that every installer file system shares: the compressed
// name looked for on a medium and the longest path taken.
#include "platform/installer_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

TEST(InstallerPaths, TheCompressedNameEndsTheExtensionWithAnUnderscore) {
  const struct {
    const char* path;
    const char* separators;
    const char* compressed;
  } cases[] = {
      {"A:\\SETUP.EXE", "\\", "A:\\SETUP.EX_"}, {"A:\\README.TX", "\\", "A:\\README.TX_"},
      {"A:\\X.", "\\", "A:\\X._"},                {"A:\\README", "\\", "A:\\README._"},
      {"A:\\X.ABCD", "\\", "A:\\X.ABC_"},         {"A:\\DIR.D\\FILE", "\\", "A:\\DIR.D\\FILE._"},
      {"a/dir.d/file", "\\", "a/dir.d/fil_"},     {"a/dir.d/file", "\\/", "a/dir.d/file._"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " with separators " + c.separators);
    EXPECT_EQ(CompressedName(c.path, c.separators), c.compressed);
  }
}

TEST(InstallerPaths, APathFitsWhenItHasOneTo255Characters) {
  EXPECT_FALSE(FitsInstallerPath(""));
  EXPECT_TRUE(FitsInstallerPath(std::string(255, 'A')));
  EXPECT_FALSE(FitsInstallerPath(std::string(256, 'A')));
}

}  // namespace
}  // namespace qv
