// The generic drawing of a panel: its images, then its labels, the read-outs
// of held knobs and the pattern counter, and finally the images of the step
// lights and pattern buttons for the next picture.
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "font.h"
#include "instrument_gui.h"
#include "knob_table.h"
#include "name_keys.h"
#include "panel_names.h"
#include "program_end.h"
#include "widget_marks.h"

namespace {
// The height of the 2D projection, in which text is placed from the bottom.
constexpr float projection_height = 625;

// A held widget is drawn half as large again. Its size is put back exactly
// as it was rather than divided again, so holding it never wears it down.
void draw_images(const std::vector<SPRITE*>& items) {
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    SPRITE& item = **it;
    const float width = item.width;
    const float height = item.height;
    if (item.pressed == 1) {
      item.width *= 1.5f;
      item.height *= 1.5f;
    }
    if (!has_key(item.control_name, "LABEL")) item.draw();
    item.width = width;
    item.height = height;
  }
}

// Label texts are single words, and the read-outs and the counter a few
// characters: what is printed at (x, y) (from the bottom-left, as the text
// printer takes it) stays within this box of the 2D projection.
drawn_area text_box(float x, float y) {
  constexpr float reach = 120;
  return {x - 4, projection_height - y - 20, x + reach, projection_height - y + 8};
}

[[noreturn]] void missing_link(const SPRITE& label, const std::string& link) {
  end_program("Your RC failed \nLine [" + std::string(label.control_name) + "] Linked to [" + link +
                  "]\n " + link + " Doesn't seem to exist\n",
              -1);
}

// A label's name holds "LABEL;text;link;tip;". An unlinked label is placed
// from the panel's origin; a linked one keeps its offset from its widget
// and grows while the widget is held, or, with a tip mark, shows only while
// the pointer is over the widget.
void draw_label(const INSTRUMENT_GUI& panel, const SPRITE& label) {
  const std::string text = text_field_2(label.control_name);
  const std::optional<std::string> link = text_field_3(label.control_name);
  if (!link) {
    const auto x = static_cast<float>(truncate_to_int(label.x));
    const auto y = static_cast<float>(618 - int64_t{truncate_to_int(label.y)});
    if (!outside_drawn_area(text_box(x, y))) print_text(small_font, x, y, "%s", text.c_str());
    return;
  }
  const SPRITE* target = find_companion(link->c_str(), label.control_name, panel.items);
  if (target == nullptr) missing_link(label, *link);
  const int64_t dx = truncate_to_int(label.x - panel.x);
  const int64_t dy = truncate_to_int(label.y - panel.y);
  const auto x = static_cast<float>(truncate_to_int(target->x) + dx);
  const auto y = static_cast<float>(625 - int64_t{truncate_to_int(target->y)} - dy);
  if (outside_drawn_area(text_box(x, y))) return;
  if (!text_field_4(label.control_name)) {
    print_text(target->pressed == 1 ? large_font : small_font, x, y, "%s", text.c_str());
  } else if (target->touched != 0) {
    print_text(small_font, x, y, "%s", text.c_str());
  }
}

void draw_labels(const INSTRUMENT_GUI& panel) {
  for (auto it = panel.items.rbegin(); it != panel.items.rend(); ++it) {
    if (has_key((*it)->control_name, "LABEL")) draw_label(panel, **it);
  }
}

// "  1/ 22" beside pattern button 4: the playing pattern counted from 1.
void draw_pattern_counter(const INSTRUMENT_GUI& panel) {
  const SPRITE* anchor = find_companion("BUTTON_PATTERN_4", nullptr, panel.items);
  if (anchor == nullptr) return;
  const long long shown = int64_t{panel.current_pattern} + 1;
  if (outside_drawn_area(text_box(anchor->x + 20, 625 - anchor->y - 5))) return;
  print_text(large_font, anchor->x + 20, 625 - anchor->y - 5, "%3lld/%3d", shown,
             static_cast<int>(panel.pattern_count));
}

void set_image(SPRITE* item, bool lit, const char* lit_image, const char* unlit_image) {
  if (item != nullptr) item->set_name(lit ? lit_image : unlit_image);
}

}  // namespace

int32_t INSTRUMENT_GUI::update_view() {
  glColor3ub(255, 255, 255);
  draw_images(items);
  draw_widget_mark(*this);
  draw_labels(*this);
  draw_knob_readouts(*this, knob_panel::generic);
  draw_pattern_counter(*this);
  show_current_step(current_step);
  show_pattern(current_pattern);
  return 1;
}

// The light of the playing step shows "CHK_1_OFF", all others "CHK_1_ON".
// Light n stands over the control of step n, steps counted from 0.
void INSTRUMENT_GUI::show_current_step(int32_t step) {
  for (int n = 0; n <= 16; ++n) {
    char name[NAME_FIELD_SIZE];
    std::snprintf(name, sizeof name, "BUTTON_ACT_NOTE_%d_INSTRUMENT_%d", n,
                  static_cast<int>(instrument_number));
    set_image(find_named(name, items), n != step, "CHK_1_ON", "CHK_1_OFF");
  }
}

// Pattern button pattern % 8 + 1 and bank button pattern / 8 + 1 light up.
void INSTRUMENT_GUI::show_pattern(int32_t pattern) {
  const int32_t in_bank = pattern % 8;
  const int32_t bank = pattern / 8;
  const int number = instrument_number;
  for (int n = 1; n <= 8; ++n) {
    char name[NAME_FIELD_SIZE];
    std::snprintf(name, sizeof name, "BUTTON_PATTERN_%d_INSTRUMENT_%d", n, number);
    set_image(find_named(name, items), n == in_bank + 1, "BUTTON_PATTERN_ON", "BUTTON_PATTERN_OFF");
  }
  for (int n = 1; n <= 4; ++n) {
    char name[NAME_FIELD_SIZE];
    std::snprintf(name, sizeof name, "BUTTON_PATTERN_1%d_INSTRUMENT_%d", n, number);
    set_image(find_named(name, items), n == bank + 1, "BUTTON_PATTERN_ON", "BUTTON_PATTERN_OFF");
  }
}
