// The main of a test program without windows, off the desk.
#include "platform/testing/TestDesk.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    arv::test::TTestDesk desk;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
