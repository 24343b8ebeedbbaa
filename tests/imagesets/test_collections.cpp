#include "imagesets/ImageSets.h"
#include <gtest/gtest.h>
TEST(Dummy, Builds) {}
