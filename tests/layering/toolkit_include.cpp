// Compiled against the state layer and everything below it: the toolkit and
// the web engine must be out of reach, so this must not compile.
#include <gtk/gtk.h>
