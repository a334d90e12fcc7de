// The user-interface library's portable string and conversion helpers: the exception root, the
// conversion error with the platform's texts, trimming, text comparison and integer conversion.
// They live in base/ (every layer shares them); the library's units keep including this header.
#pragma once

#include "base/strings.h"
