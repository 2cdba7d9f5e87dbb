#include <cstdio>

#include "instrument_gui.h"
#include "layout_fields.h"
#include "layout_reader.h"
#include "texture_library.h"

namespace {

// The name of the texture at index, or "" when there is no library or no
// such slot.
const char* texture_name(int32_t index) {
  if (texture_library == nullptr || index < 0 || index >= TEXTURE_SLOTS) return "";
  return texture_library->names[index];
}

}  // namespace

int32_t dump_layout(INSTRUMENT_GUI& panel, std::FILE* out) {
  std::fprintf(out, "BEGIN %s\n", panel.engine_name);
  for (auto item = panel.items.rbegin(); item != panel.items.rend(); ++item) {
    SPRITE& sprite = **item;
    copy_name_field(sprite.mask_name, texture_name(sprite.mask_texture));
    // The angle is written as 0: the dump keeps no knob turned.
    std::fprintf(out, "\"%s\" \"%s\" \"%s\" %3d %3d %3d %3d %3d \n", sprite.control_name,
                 sprite.name, sprite.mask_name,
                 truncate_to_int32(static_cast<double>(sprite.x) - panel.x),
                 truncate_to_int32(static_cast<double>(sprite.y) - panel.y),
                 truncate_to_int32(sprite.width), truncate_to_int32(sprite.height), 0);
  }
  std::fprintf(out, "END\n");
  return 1;
}

int32_t dump_layout(INSTRUMENT_GUI& panel) {
  return dump_layout(panel, stdout);
}
