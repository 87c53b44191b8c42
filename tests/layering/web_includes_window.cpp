// Compiled against the web layer: the window layer above it is out of reach,
// so this must not compile.
#include "window/Toolbar.h"
