#include "BmpDecoder.h"

#include <gtest/gtest.h>
