// zem-render: renders a zem engine, or the rack of five, offline into a WAV file.
#include "render_command.h"

int main(int argc, char** argv) {
  return run_zem_render(argc, argv);
}
