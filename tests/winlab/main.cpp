// Checks the network before any test can send.
#include <gtest/gtest.h>

#include "tests/winlab/winlab.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    vimbrel::winlab::RequireLabNetwork();
    return RUN_ALL_TESTS();
}
