// Entry of the GUI test programs: the program's application on the offscreen platform.
#include "platform/Application.h"
#include "platform/PaintingThreads.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CApplication app(argc, argv);
    // With the thread-start shim preloaded, Qt's own threads may fail from the end of the
    // program's start-up on.
    if (qEnvironmentVariableIsSet("VELTRIX_FAIL_QT_THREADS"))
        if (auto fail =
                reinterpret_cast<void (*)(bool)>(dlsym(RTLD_DEFAULT, "VeltrixFailQtThreadStarts")))
            fail(true);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // As the program ends: Qt would wait for a painting thread that never began.
    vx::EndIfPaintingThreadNeverBegan(result);
    return result;
}
