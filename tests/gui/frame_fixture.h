#pragma once

// A main window on scripted devices and boxes, in a settings folder of its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_fakes.h"
#include "app/qt/main_frame.h"
#include "common/question_box.h"
#include "gui/tone_fakes.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"

namespace merlop::testing {

// Says yes to every question and keeps them.
struct CountedQuestions : QuestionBox {
    bool ask(const std::string& text, const std::string&, Buttons) override {
        asked.push_back(text);
        return true;
    }
    std::vector<std::string> asked;
};

class FrameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        capture.formats = kMono11kHz8Bit | kMono11kHz16Bit | kMono22kHz16Bit | kMono44kHz16Bit;
        writeConfig(Settings{});
    }

    void TearDown() override {
        frame.reset();
        QApplication::processEvents();
    }

    void writeConfig(const Settings& s) {
        const auto image = s.toImage();
        std::ofstream(dir / "merlo301.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }

    MainFrame& open(int w = 800, int h = 600) {
        FrameDevices d;
        d.capture = &capture;
        d.midi = &midi;
        d.sound = &sound;
        d.player = &player;
        d.dialogs = &dialogs;
        d.clock = &clock;
        d.messages = &messages;
        d.questions = &questions;
        d.inputPending = [this] { return inputPending; };
        frame = std::make_unique<MainFrame>(dir.path(), d);
        frame->resize(w, h);
        frame->show();
        frame->layoutNow();
        return *frame;
    }

    TempDir dir;
    ScriptedCapture capture;
    FakeMidi midi;
    FakeSound sound;
    FakePlayer player;
    FakeDialogs dialogs;
    FakeClock clock;
    RecordingMessageBox messages;
    CountedQuestions questions;
    bool inputPending = false;
    std::unique_ptr<MainFrame> frame;
};

}  // namespace merlop::testing
