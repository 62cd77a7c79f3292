#include "platform/FontSetup.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs headless on Qt's offscreen platform unless told otherwise.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tavi::useProgramFonts(QStringLiteral(TAVI_PROGRAM_DIR)); // pictures are drawn as the program draws them
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
