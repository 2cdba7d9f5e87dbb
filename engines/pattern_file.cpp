#include "pattern_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "atomic_file.h"
#include "pattern_image.h"
#include "regular_file.h"
#include "state_handoff.h"

namespace {

constexpr char stream_not_playing[] =
    "the instrument's stream renders nothing: try again while it plays";

struct file_closer {
  void operator()(FILE* file) const { std::fclose(file); }
};
using file_handle = std::unique_ptr<FILE, file_closer>;

// The instrument's image, taken between two render blocks.
bool capture_image(INSTRUMENT& instrument, std::vector<unsigned char>& image, std::string& error) {
  image.assign(static_cast<size_t>(image_layout_of(instrument).size), 0);
  state_transfer transfer{state_transfer::direction::save, image};
  if (!transfer_between_blocks(instrument, transfer)) {
    error = stream_not_playing;
    return false;
  }
  // A state that could not be loaded back is not written.
  error = image_refusal(instrument, image);
  return error.empty();
}

// The whole content of an open file, read no further than one byte past the
// image: a longer file is refused without reading it all.
bool read_image(FILE* file, const image_layout& layout, std::vector<unsigned char>& image,
                std::string& error) {
  image.resize(static_cast<size_t>(layout.size) + 1);
  const size_t got = std::fread(image.data(), 1, image.size(), file);
  if (std::ferror(file)) {
    error = std::strerror(errno);
    return false;
  }
  image.resize(got);
  return true;
}

bool apply_checked(INSTRUMENT& instrument, std::vector<unsigned char>& image, std::string& error) {
  error = image_refusal(instrument, image);
  if (!error.empty()) return false;
  state_transfer transfer{state_transfer::direction::load, image};
  if (!transfer_between_blocks(instrument, transfer)) {
    error = stream_not_playing;
    return false;
  }
  return true;
}

// A regular file of the wrong size is refused by its size before any read.
std::string size_refusal_of(INSTRUMENT& instrument, FILE* file) {
  struct stat status;
  if (::fstat(::fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return size_refusal(instrument, static_cast<uint64_t>(status.st_size));
}

}  // namespace

bool save_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error) {
  std::vector<unsigned char> image;
  if (!capture_image(instrument, image, error)) {
    error = "cannot save " + path + ": " + error;
    return false;
  }
  return write_file_atomically(path, image, error);
}

bool load_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error) {
  const int fd = open_regular_file(path, error);
  if (fd < 0) return false;
  const file_handle file(::fdopen(fd, "rb"));
  if (!file) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    ::close(fd);
    return false;
  }
  error = size_refusal_of(instrument, file.get());
  std::vector<unsigned char> image;
  if (error.empty() && !read_image(file.get(), image_layout_of(instrument), image, error)) {
    error = "cannot read " + path + ": " + error;
    return false;
  }
  if (!error.empty() || !apply_checked(instrument, image, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

int32_t INSTRUMENT::write_state(FILE* file) {
  std::vector<unsigned char> image;
  std::string error;
  if (!capture_image(*this, image, error)) return 0;
  return std::fwrite(image.data(), image.size(), 1, file) == 1 ? 1 : 0;
}

int32_t INSTRUMENT::read_state(FILE* file) {
  std::vector<unsigned char> image;
  std::string error;
  return read_image(file, image_layout_of(*this), image, error) &&
                 apply_checked(*this, image, error)
             ? 1
             : 0;
}
