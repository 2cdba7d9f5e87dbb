#include "layout_reader.h"

#include <cstdarg>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "instrument_gui.h"
#include "layout_fields.h"
#include "program_end.h"
#include "texture_library.h"

namespace {

// A broken file: the reading stops and reports the message.
struct layout_fault {
  std::string message;
};

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

struct open_file {
  std::string path;
  std::unique_ptr<std::FILE, file_closer> file;
};

// An item line decoded, kept until the whole reading has succeeded.
struct staged_item {
  std::string full_name;
  std::string image;
  std::string mask;
  int32_t x, y, width, height, angle;
};

// The text of a quoted field: its first and last characters are dropped,
// whatever they are; a token too short to have both gives an empty text.
std::string unquoted(const char* token) {
  const std::size_t length = std::strlen(token);
  return length < 2 ? std::string() : std::string(token + 1, length - 2);
}

// "LOAD_RC [<path>] " followed by the formatted detail.
__attribute__((format(printf, 2, 3))) layout_fault fault(const open_file& in, const char* format,
                                                         ...) {
  char detail[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(detail, sizeof detail, format, arguments);
  va_end(arguments);
  return layout_fault{"LOAD_RC [" + in.path + "] " + detail};
}

// One reading of a section with its includes: the sections being read, from
// the outermost, and the items staged so far.
class layout_parser {
 public:
  layout_parser(const INSTRUMENT_GUI& panel, int32_t number, const layout_source& source)
      : panel_(panel), number_(number), source_(source) {}

  // Reads section of the file at path; throws layout_fault on a broken file.
  // False when the file has no such section.
  bool read_file(const std::string& path, const std::string& section);

  std::vector<staged_item> items;

 private:
  bool find_section(open_file& in, const std::string& section);
  void read_entries(open_file& in, const std::string& section);
  void skip_comment(open_file& in, const std::string& first);
  void read_include(open_file& in);
  bool read_item(open_file& in, const std::string& first);

  bool next_token(open_file& in, layout_token& token);
  void need_token(open_file& in, layout_token& token, const std::string& within);
  int32_t need_integer(open_file& in, const std::string& within, const char* field);
  void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));

  const INSTRUMENT_GUI& panel_;
  int32_t number_;
  const layout_source& source_;
  std::vector<std::pair<std::string, std::string>> reading_;  // (path, section)
  int include_count_ = 0;
};

bool layout_parser::read_file(const std::string& path, const std::string& section) {
  trace("Instrument named [%s]\n", panel_.engine_name);
  open_file in{path, {source_.open ? source_.open(path.c_str()) : nullptr, {}}};
  if (!in.file) throw fault(in, "Coulnd't be open ");
  if (!find_section(in, section)) return false;
  trace("*************************\n");
  reading_.emplace_back(path, section);
  read_entries(in, section);
  reading_.pop_back();
  return true;
}

// Looks for "BEGIN <section>"; false when a token containing "EOF" comes first.
bool layout_parser::find_section(open_file& in, const std::string& section) {
  layout_token token;
  bool after_begin = false;
  while (next_token(in, token)) {
    if (std::strstr(token.text, "EOF") != nullptr) {
      trace("FIN FICHIER\n");
      return false;
    }
    if (after_begin && section == token.text) return true;
    after_begin = std::strcmp(token.text, "BEGIN") == 0;
  }
  throw fault(in, "ends without its \"EOF\" marker");
}

void layout_parser::read_entries(open_file& in, const std::string& section) {
  layout_token token;
  while (true) {
    if (!next_token(in, token))
      throw fault(in, "ends inside section [%s], no END", section.c_str());
    const std::string first = token.text;
    if (first == "END") return;
    if (first[0] == '#') {
      skip_comment(in, first);
    } else if (std::strstr("INCLUDE", first.c_str()) != nullptr) {
      read_include(in);
    } else if (!read_item(in, first)) {
      return;  // a text field "EOF" ends the reading of this file
    }
  }
}

// A commented-out item line: two more tokens and five integers, discarded.
void layout_parser::skip_comment(open_file& in, const std::string& first) {
  trace("Readin Commentary\n");
  layout_token token;
  need_token(in, token, "comment " + first);
  need_token(in, token, "comment " + first);
  for (const char* field : {"x", "y", "width", "height", "angle"}) {
    need_integer(in, "comment " + first, field);
  }
}

void layout_parser::read_include(open_file& in) {
  layout_token path;
  layout_token section;
  need_token(in, path, "an INCLUDE");
  need_token(in, section, "an INCLUDE");
  trace("\tFilename to Open [%s] section [%s]\n", path.text, section.text);
  for (const auto& open : reading_) {
    if (open.first == path.text && open.second == section.text) {
      throw fault(in, "includes section [%s] of [%s], which is already being read", section.text,
                  path.text);
    }
  }
  if (reading_.size() > static_cast<std::size_t>(LAYOUT_INCLUDE_DEPTH_MAX)) {
    throw fault(in, "includes section [%s] of [%s] deeper than %d levels", section.text, path.text,
                LAYOUT_INCLUDE_DEPTH_MAX);
  }
  if (++include_count_ > LAYOUT_INCLUDE_COUNT_MAX) {
    throw fault(in, "includes section [%s] of [%s] after %d included sections", section.text,
                path.text, LAYOUT_INCLUDE_COUNT_MAX);
  }
  // The panel would silently lack every widget of the included section.
  if (!read_file(path.text, section.text)) {
    throw fault(in, "includes section [%s] of [%s], which that file does not hold", section.text,
                path.text);
  }
}

// An item line; false, with nothing staged, when a text field is "EOF".
bool layout_parser::read_item(open_file& in, const std::string& first) {
  if (first == "EOF") return false;
  const std::string within = "item " + first;
  layout_token image;
  layout_token mask;
  need_token(in, image, within);
  if (std::strcmp(image.text, "EOF") == 0) return false;
  need_token(in, mask, within);
  if (std::strcmp(mask.text, "EOF") == 0) return false;
  const int32_t x = need_integer(in, within, "x");
  const int32_t y = need_integer(in, within, "y");
  const int32_t width = need_integer(in, within, "width");
  const int32_t height = need_integer(in, within, "height");
  const int32_t angle = need_integer(in, within, "angle");

  const std::string name = unquoted(first.c_str());
  staged_item item{name + "_INSTRUMENT_" + std::to_string(number_),
                   unquoted(image.text),
                   unquoted(mask.text),
                   truncate_to_int32(static_cast<double>(x) + panel_.x),
                   truncate_to_int32(static_cast<double>(y) + panel_.y),
                   width,
                   height,
                   angle};
  trace("\tINSTANCIE [%s][%s][%s][%d][%d][%d][%d]\n", name.c_str(), item.image.c_str(),
        item.mask.c_str(), x, y, width, height);
  trace("INSTANCIE [%s]\n", item.full_name.c_str());
  items.push_back(std::move(item));
  return true;
}

// False at the physical end of the file.
bool layout_parser::next_token(open_file& in, layout_token& token) {
  switch (read_layout_token(in.file.get(), token)) {
    case token_status::read:
      return true;
    case token_status::end_of_file:
      if (std::ferror(in.file.get())) throw fault(in, "could not be read");
      return false;
    case token_status::too_long:
      break;
  }
  throw fault(in, "has a token longer than %d characters: [%.20s...]", LAYOUT_TOKEN_MAX,
              token.text);
}

void layout_parser::need_token(open_file& in, layout_token& token, const std::string& within) {
  if (!next_token(in, token)) throw fault(in, "ends in the middle of %s", within.c_str());
}

int32_t layout_parser::need_integer(open_file& in, const std::string& within, const char* field) {
  layout_token token;
  need_token(in, token, within);
  int32_t value = 0;
  if (!parse_layout_integer(token.text, value)) {
    throw fault(in, "%s: %s is not an integer: [%s]", within.c_str(), field, token.text);
  }
  return value;
}

void layout_parser::trace(const char* format, ...) {
  if (source_.trace == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(source_.trace, format, arguments);
  va_end(arguments);
}

}  // namespace

std::FILE* open_layout_file(const char* path) {
  return std::fopen(path, "r");
}

std::optional<std::string> read_layout(INSTRUMENT_GUI& panel, const char* path, const char* section,
                                       int32_t number, const layout_source& source) {
  layout_parser parser(panel, number, source);
  try {
    parser.read_file(path ? path : "", section ? section : "");
  } catch (const layout_fault& broken) {
    return broken.message;
  }
  for (const staged_item& item : parser.items) {
    create_item(panel, item.full_name.c_str(), item.image.c_str(), item.mask.c_str(), item.x,
                item.y, item.width, item.height, item.angle);
  }
  return std::nullopt;
}

int32_t read_rc_file(INSTRUMENT_GUI& panel, const char* path, const char* section, int32_t number) {
  if (const auto error = read_layout(panel, path, section, number)) end_program(*error + "\n", -1);
  return 1;
}

int32_t create_item(INSTRUMENT_GUI& panel, const char* full_name, const char* image,
                    const char* mask, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t angle) {
  auto sprite = std::make_unique<SPRITE>("", 100, 100, 0);
  sprite->set_name(image);
  sprite->mask_texture = texture_library ? texture_library->find_texture(mask) : 0;
  sprite->angle = angle;
  sprite->set_position(static_cast<float>(x), static_cast<float>(y), 0);
  sprite->width = static_cast<float>(width);
  sprite->height = static_cast<float>(height);
  sprite->set_control_name(full_name);
  panel.items.push_back(sprite.get());
  sprite.release();
  return 1;
}
