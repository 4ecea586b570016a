// The window tests run the real windows on Qt's offscreen platform, with every COM name mapped
// away from this machine's own devices before any window probes a port.
#include "app/appearance.h"
#include "tests/support/linkenvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    olk::test::LinkEnvironment safeDefaults;
    QApplication application(argc, argv);
    olk::ApplyAppearance(application);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
