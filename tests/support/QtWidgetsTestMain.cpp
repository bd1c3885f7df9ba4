#include "ui/UiStyle.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform cannot resize native windows to their size hints and says so for every
// dialog; that one message is noise, everything else still reaches the log.
void filterOffscreenNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))) {
        return;
    }
    previousHandler(type, context, message);
}

}  // namespace

// Runs widget tests on the offscreen platform with a private runtime folder and the light look;
// tests that compare palettes switch it themselves.
int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        static std::string runtime = "/tmp/tarnwick-test-runtime-XXXXXX";
        if (::mkdtemp(runtime.data())) {
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
    }
    previousHandler = qInstallMessageHandler(filterOffscreenNoise);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    tarnwick::ui::applyColorScheme(application, tarnwick::ui::ColorScheme::light);
    return RUN_ALL_TESTS();
}
