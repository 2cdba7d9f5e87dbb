#pragma once
// temp_folder: a fresh private folder for one test (or one test suite), made
// under the system's temporary folder and removed with its contents when the
// object goes out of scope. With `enter`, it is also the working directory
// meanwhile (the previous one comes back at the end).
//
//   zem_test::temp_folder folder;
//   write_something(folder.file("out.wav"));
//   EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
//
// read_file: a whole file as bytes in a string (empty when it cannot be read).
#include <filesystem>
#include <string>
#include <vector>

namespace zem_test {

class temp_folder {
 public:
  explicit temp_folder(bool enter = false);
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder (which need not exist).
  std::string file(const std::string& name) const;
  // The names of the folder's entries, in no particular order.
  std::vector<std::string> entries() const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;  // the working directory before, with `enter`
};

std::string read_file(const std::string& path);

}  // namespace zem_test
