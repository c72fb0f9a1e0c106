#pragma once
// Allowed: a shared folder, written with angle brackets.
#include <interchange/kept/Kept.h>
