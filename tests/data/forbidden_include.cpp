// A replay file that reaches up into the window: the layering test must refuse it.
#include "app/main_window.h"
