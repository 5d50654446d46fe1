#pragma once

// The capture life cycle of the main frame, every move in one table:
//
//   idle --startLive--> recording --stop--> stopping --closed--> idle
//   idle --startFile--> feeding --fileEnded--> idle
//
// closed, fileEnded and shutdown end whatever runs; an event a state does not take leaves it.

namespace merlop {

enum class CaptureState {
    idle,       // nothing records, nothing is fed
    recording,  // the card records; blocks arrive
    stopping,   // the card was told to stop and is handing its buffers back
    feeding,    // a WAV file is fed block by block
};

enum class CaptureEvent {
    startLive,  // the card opened
    startFile,  // the first block of a file is on its way
    stop,       // a stop was asked for, or the card failed
    closed,     // the card has closed
    fileEnded,  // the file run is over (at its end or cut short)
    shutdown,   // the window closes
};

// What a stop is for; acted on once the card has closed, or at once when nothing was recording.
enum class StopReason : int {
    plain = 0,            // pause, settings, deactivation, custom tuning off
    toneNeedsDevice = 1,  // the tuner window wants the sound device for a reference tone
    nextExercise = 2,
    quit = 3,
    reapplyMode = 4,
    fileOpened = 5,
    fileEnded = 6,
    calibration = 7,
};

CaptureState nextCaptureState(CaptureState from, CaptureEvent event);

}  // namespace merlop
