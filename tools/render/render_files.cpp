#include "render_files.h"

#include "path_target.h"

namespace {

bool clash(const command_file& a, const command_file& b) {
  if (a.input && b.input) return false;  // reading one file twice harms nothing
  if (!a.input && !b.input && names_stream(a.path) && names_stream(b.path)) return false;
  return same_file(a.path, b.path);
}

}  // namespace

std::vector<command_file> command_files(const render_options& options) {
  std::vector<command_file> files;
  if (options.load_file) files.push_back({"--load", *options.load_file, true});
  if (options.session_file) files.push_back({"--session", *options.session_file, true});
  if (options.save_file) files.push_back({"--save", *options.save_file, false});
  if (options.save_session_file)
    files.push_back({"--save-session", *options.save_session_file, false});
  files.push_back({"the output", options.output, false});
  return files;
}

std::string file_clash(const std::vector<command_file>& files) {
  for (size_t i = 0; i < files.size(); ++i)
    for (size_t j = i + 1; j < files.size(); ++j)
      if (clash(files[i], files[j]))
        return files[i].option + " " + files[i].path + " and " + files[j].option + " " +
               files[j].path + " are the same file";
  return {};
}
