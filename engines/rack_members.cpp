#include "rack_members.h"

#include "osc.h"
#include "tb303.h"
#include "tb808.h"

std::unique_ptr<INSTRUMENT> make_instrument(instrument_kind kind) {
  switch (kind) {
    case instrument_kind::tb303:
      return std::make_unique<TB303>();
    case instrument_kind::tb808:
      return std::make_unique<TB808>();
    case instrument_kind::osc:
      return std::make_unique<OSC>();
  }
  return nullptr;
}
