// Compiled against the model layer alone: a higher layer's header is out of
// reach, so this must not compile.
#include "state/AppState.h"
