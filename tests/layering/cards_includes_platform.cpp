// Compiled against the cards layer and everything below it: the platform
// adapters are made by the application alone, so this must not compile.
#include "platform/KeychainService.h"
