#include "app/capture_state.h"

#include <gtest/gtest.h>

namespace merlop {
namespace {

using E = CaptureEvent;
using S = CaptureState;

TEST(CaptureState, RunsGoRoundTheirCyclesAndEndWhateverRuns) {
    S s = S::idle;
    for (E e : {E::startLive, E::stop, E::closed}) s = nextCaptureState(s, e);
    EXPECT_EQ(s, S::idle);
    EXPECT_EQ(nextCaptureState(S::idle, E::startLive), S::recording);
    EXPECT_EQ(nextCaptureState(S::recording, E::stop), S::stopping);
    EXPECT_EQ(nextCaptureState(S::idle, E::startFile), S::feeding);
    for (S from : {S::idle, S::recording, S::stopping, S::feeding}) {
        for (E end : {E::closed, E::fileEnded, E::shutdown}) {
            EXPECT_EQ(nextCaptureState(from, end), S::idle);
        }
    }
    // A start never cuts into a run, nor does a stop turn a file run into a closing card.
    for (S from : {S::recording, S::stopping, S::feeding}) {
        EXPECT_EQ(nextCaptureState(from, E::startLive), from);
        EXPECT_EQ(nextCaptureState(from, E::startFile), from);
    }
    EXPECT_EQ(nextCaptureState(S::feeding, E::stop), S::feeding);
    EXPECT_EQ(nextCaptureState(S::idle, E::stop), S::idle);
}

}  // namespace
}  // namespace merlop
