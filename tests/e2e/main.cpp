#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The adapter works on the event loop; the tests spin it while they wait.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
