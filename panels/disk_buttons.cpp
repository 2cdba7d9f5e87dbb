#include "disk_buttons.h"

#include "event_pass.h"
#include "name_keys.h"
#include "pattern_console.h"

void release_disk_button(INSTRUMENT_GUI& panel, const widget_event& record) {
  if (!is_button_release(record)) return;
  // The console operations print what happened; a cancelled or failed
  // operation leaves the instrument as it was.
  const char* name = record.target->control_name;
  if (has_key(name, "BUTTON_DISK_SAVE")) save_pattern_file(panel);
  if (has_key(name, "BUTTON_DISK_LOAD") && load_pattern_file(panel) == 1) panel.show_state();
}
