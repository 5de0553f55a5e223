#include "game_state.h"
