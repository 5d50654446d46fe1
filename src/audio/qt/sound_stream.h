#pragma once

#include <QAudioSink>
#include <QAudioSource>
#include <QObject>
#include <type_traits>

namespace merlop {

// Ends a Qt audio stream and destroys it, children (the device it read from or wrote to)
// included, without a callback that could outlive it.
//
// stop() comes first: Qt 6.4's PulseAudio backend then clears the stream's callbacks under the
// sound server client's lock, so once it returns no notification can reach the object. The one
// request Qt does not withdraw, the drain it starts when its source reports atEnd(), is avoided
// by sources that never do. The destructor processes pending events, so callers clear their own
// pointers before calling this.
template <typename Stream>
void stopAndRelease(Stream* stream) {
    static_assert(std::is_same_v<Stream, QAudioSink> || std::is_same_v<Stream, QAudioSource>);
    if (stream == nullptr) return;
    QObject::disconnect(stream, nullptr, nullptr, nullptr);
    stream->stop();
    delete stream;
}

}  // namespace merlop
