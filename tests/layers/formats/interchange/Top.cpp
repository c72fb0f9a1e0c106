// Not allowed: a file at the top including a format's folder (even indented).
  #  include "interchange/alpha/Alpha.h"
#include "interchange/Top.h"
