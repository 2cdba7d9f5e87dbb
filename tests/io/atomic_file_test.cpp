// A save replaces a regular file whole, follows links to the file they lead to,
// writes a device or a FIFO in place; no name changes kind, nothing is left.
#include "atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>

#include "temp_folder.h"

TEST(AtomicFile, WritesWhatTheNameLeadsToAndNeverReplacesANodeOrALink) {
  zem_test::temp_folder folder, elsewhere;
  const auto in = [&folder](const char* name) { return folder.file(name); };
  std::ofstream(in("plain.sta")) << "old";
  ASSERT_EQ(::symlink(elsewhere.file("real.sta").c_str(), in("link.sta").c_str()), 0);
  ASSERT_EQ(::symlink("link.sta", in("chain.sta").c_str()), 0);  // relative, onto a link
  ASSERT_EQ(::mkfifo(in("read.fifo").c_str(), 0600) | ::mkfifo(in("unread.fifo").c_str(), 0600), 0);
  const int fifo_reader = ::open(in("read.fifo").c_str(), O_RDONLY | O_NONBLOCK);
  // Devices of its own where the test may make them (as root), else links to
  // the system's, which an unprivileged test cannot replace.
  for (const auto& [name, minor] : {std::pair{"null", 3}, std::pair{"full", 7}})
    if (::mknod(in(name).c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0)
      ::symlink((std::string("/dev/") + name).c_str(), in(name).c_str());
  const size_t entries = folder.entries().size();
  const struct {
    std::string path;
    std::string landed;   // where the bytes are read back, if anywhere
    const char* refusal;  // the reason of a refusal
  } cases[] = {
      {in("plain.sta"), in("plain.sta"), ""},
      {in("chain.sta"), elsewhere.file("real.sta"), ""},  // made through two links
      {in("link.sta"), elsewhere.file("real.sta"), ""},   // then replaced
      {in("read.fifo"), "FIFO", ""},
      {in("null"), "", ""},
      {in("unread.fifo"), "", "nothing reads from it"},
      {in("full"), "", "No space left on device"},
  };
  for (const auto& c : cases) {
    struct stat before = {}, after = {};
    ::lstat(c.path.c_str(), &before);
    const std::string text = "saved onto " + c.path;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string error;
    EXPECT_EQ(write_file_atomically(c.path, {bytes, text.size()}, error), *c.refusal == '\0');
    EXPECT_EQ(error, *c.refusal ? "cannot write " + c.path + ": " + c.refusal : "");
    ::lstat(c.path.c_str(), &after);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << c.path << " is what it was";
    char got[256];
    const ssize_t n = c.landed == "FIFO" ? ::read(fifo_reader, got, sizeof got) : 0;
    EXPECT_EQ(n > 0 ? std::string(got, size_t(n)) : zem_test::read_file(c.landed),
              c.landed.empty() ? "" : text);
  }
  EXPECT_EQ(folder.entries().size(), entries) << "no temporary file left";
  EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"real.sta"});
  ::close(fifo_reader);
}
