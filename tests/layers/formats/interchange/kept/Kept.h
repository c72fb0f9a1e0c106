#pragma once
// Not allowed: a shared folder including a format's folder.
#include "interchange/beta/Beta.h"
