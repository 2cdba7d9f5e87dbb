#include "panel_rack.h"

#include "osc_gui.h"
#include "tb303_gui.h"
#include "tb808_gui.h"

namespace {

INSTRUMENT_GUI* make_panel(const rack_member& member) {
  const char* name = member.panel_name;
  switch (member.kind) {
    case instrument_kind::tb303:
      return new TB303_GUI(name, member.x, member.y, member.panel_number);
    case instrument_kind::tb808:
      return new TB808_GUI(name, member.x, member.y, member.panel_number);
    case instrument_kind::osc:
      return new OSC_GUI(name, member.x, member.y, member.panel_number);
  }
  return nullptr;
}

}  // namespace

panel_list build_panel_rack() {
  // One panel at a time, in the order of the rows: the order sets the
  // instrument numbers.
  panel_list panels{};
  for (const rack_member& member : rack_members) panels[member.list_index] = make_panel(member);
  return panels;
}
