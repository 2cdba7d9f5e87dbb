#include "program_startup.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "fsound.h"
#include "panel_lists.h"
#include "panel_streams.h"
#include "recording_display.h"
#include "startup.h"
#include "step_event_rings.h"
#include "stream_callback.h"
#include "video.h"

void start_video() {
  std::printf("Init Video\n");
  if (init_video() == 0) {
    // A font that cannot be used has been named: the window itself is fine.
    if (init_video_failure() != video_failure::font)
      std::printf("Erreur d'initialisatio du video\n");
    // The audio layer is open already: a recording is closed properly.
    FSOUND_Close();
    std::exit(-1);
  }
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void build_panels() {
  instrument_panels = build_panel_rack();
  set_stream_user_reader(instrument_of_panel);
  for (int i = 0; i < instrument_count; ++i) {
    instrument_list[i] = instrument_panels[i];
    stream_user_values[i] = stream_user_value(instrument_panels[i]);
  }
  // What the audio side tells the panels goes through rings from now on.
  install_step_event_rings(instrument_list);
  install_mix_recorder();
}
