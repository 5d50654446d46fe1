// Error boxes from inside a device callback: the box must not open a nested event loop inside
// the callback, where the next block would be analysed before the first one is done.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "app/qt/widget_message_box.h"
#include "audio/wave_input.h"
#include "platform/audio_test_support.h"
#include "platform/scripted_capture.h"

namespace merlop {
namespace {

// Analyses each block as the main frame does and reports a failure on the first one.
struct Analyst : WaveInListener {
    Analyst(WaveInDevice& d, MessageBox& m) : device(d), messages(m) {}
    void onWaveInOpen() override { device.start(); }
    void onWaveInData() override {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        device.bufferReturned();
        std::vector<int> block(16);
        int min = 0;
        int max = 0;
        device.convert(block.data(), 16, &min, &max);
        if (++blocks == 1) messages.show("Not enough memory", "cyc ");
        device.start();
        --depth;
    }
    void onWaveInClose() override {}

    WaveInDevice& device;
    MessageBox& messages;
    int depth = 0;
    int maxDepth = 0;
    int blocks = 0;
};

TEST(WidgetMessageBox, ABoxFromADeviceCallbackOpensAfterItAndBlocksGoOnOneAtATime) {
    testing::qtApp();
    testing::ScriptedCapture service;
    WidgetMessageBox messages;
    testing::RecordingMessageBox deviceBox;
    WaveInDevice device(service, deviceBox);
    Analyst analyst(device, messages);
    ASSERT_EQ(device.open(&analyst, 11025, 16, 16), 0);

    // The sound card: a block every 10 ms, its notice posted to the event loop as the capture
    // service posts them.
    QTimer card;
    QObject notices;
    QObject::connect(&card, &QTimer::timeout, [&] {
        service.feed(std::vector<std::uint8_t>(32, 0));
        QMetaObject::invokeMethod(
            &notices, [&] { service.deliver(); }, Qt::QueuedConnection);
    });
    card.start(10);
    service.deliver();

    // The user: reads the box while a few more blocks arrive, then presses OK.
    int blocksAtBox = -1;
    bool closed = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        if (blocksAtBox < 0) blocksAtBox = analyst.blocks;
        // A block analysed inside another ends the test at once.
        if (analyst.blocks >= blocksAtBox + 3 || analyst.maxDepth > 1) {
            box->close();
            closed = true;
        }
    });
    user.start(5);
    EXPECT_TRUE(testing::runEventsUntil([&] { return closed; }, 5000));
    card.stop();
    user.stop();

    EXPECT_GE(blocksAtBox, 1);
    EXPECT_GE(analyst.blocks, blocksAtBox + 3);  // the box did not hold the blocks up
    EXPECT_EQ(analyst.maxDepth, 1);              // nor were they analysed inside one another
    EXPECT_TRUE(deviceBox.shown.empty());
}

}  // namespace
}  // namespace merlop
