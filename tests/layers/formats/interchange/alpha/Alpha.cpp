// A format's file: its own folder, a shared folder and the top are allowed; the
// second include, another format's folder, is not.
#include "interchange/alpha/Alpha.h"
#include "interchange/beta/Beta.h"
#include "interchange/kept/Kept.h"
#include "interchange/Top.h"
