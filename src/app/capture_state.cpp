#include "app/capture_state.h"

#include <array>

namespace merlop {

namespace {

constexpr int kStates = 4;
constexpr int kEvents = 6;
using S = CaptureState;

// Rows: from idle, recording, stopping, feeding. Columns: the events in declaration order.
constexpr std::array<std::array<S, kEvents>, kStates> kTable = {{
    // startLive     startFile   stop         closed   fileEnded shutdown
    {S::recording, S::feeding, S::idle, S::idle, S::idle, S::idle},        // idle
    {S::recording, S::recording, S::stopping, S::idle, S::idle, S::idle},  // recording
    {S::stopping, S::stopping, S::stopping, S::idle, S::idle, S::idle},    // stopping
    {S::feeding, S::feeding, S::feeding, S::idle, S::idle, S::idle},       // feeding
}};

}  // namespace

CaptureState nextCaptureState(CaptureState from, CaptureEvent event) {
    return kTable[static_cast<int>(from)][static_cast<int>(event)];
}

}  // namespace merlop
