// Every test program starts with every COM name mapped to nothing and its settings in a private
// directory, before any test can reach a port.
#include "tests/support/linkenvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    olk::test::LinkEnvironment safeDefaults;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
