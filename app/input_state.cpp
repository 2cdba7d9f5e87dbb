#include "input_state.h"

input_state input;
