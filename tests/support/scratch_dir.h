// A scratch directory for tests that work with real files.
#ifndef RDS_TESTS_SUPPORT_SCRATCH_DIR_H_
#define RDS_TESTS_SUPPORT_SCRATCH_DIR_H_

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

// A fresh directory under /tmp for one test, removed with everything in it afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/rds-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

#endif  // RDS_TESTS_SUPPORT_SCRATCH_DIR_H_
