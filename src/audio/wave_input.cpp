#include "audio/wave_input.h"

#include <new>

#include "audio/capture_config.h"
#include "audio/samples.h"
#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

namespace {

constexpr const char* kErrorCaption = MERLOP_TR_NOOP("WaveInput", "sound recording device error");
constexpr const char* kMemoryCaption = MERLOP_TR_NOOP("WaveInput", "memory");

constexpr const auto& kRates = kCandidateRates;
constexpr int kDepths[2] = {8, 16};

unsigned formatBit(int rateIndex, int depthIndex) {
    return 1u << (rateIndex * 2 + depthIndex);
}

}  // namespace

std::string waveInErrorText(int error) {
    switch (error) {
        case kWaveInNoError:
            return translate("WaveInput", "The operation completed successfully.");
        case kWaveInNoDevice:
            return translate("WaveInput", "No sound recording device is available.");
        case kWaveInBadFormat:
            return translate("WaveInput",
                             "The sound recording device does not support the requested format.");
        case kWaveInNotOpen:
            return translate("WaveInput", "The sound recording device is not open.");
        case kWaveInAlreadyOpen:
            return translate("WaveInput", "The sound recording device is already open.");
        case kWaveInStillRecording:
            return translate(
                "WaveInput",
                "Buffers are still queued on the sound recording device; reset it first.");
        case kWaveInInvalidParameter:
            return translate("WaveInput",
                             "An invalid parameter was passed to the sound recording device.");
        case kWaveInDeviceFailed:
            return translate("WaveInput", "The sound recording device could not be started.");
        case kWaveInNoCapabilities:
            return translate("WaveInput",
                             "The capabilities of the sound recording device cannot be read.");
        case kWaveInDeviceLost:
            return translate("WaveInput",
                             "The sound recording device was removed or stopped working.");
        case kWaveInSourceChanged:
            return translate(
                "WaveInput",
                "The chosen sound source came or went; the recording moves to it or away.");
        default:
            return fill(translate("WaveInput", "Unknown sound recording device error %1."),
                        {std::to_string(error)});
    }
}

WaveInDevice::WaveInDevice(WaveCaptureService& service, MessageBox& messages)
    : service_(service), messages_(messages) {}

WaveInDevice::~WaveInDevice() {
    if (open_) service_.shutdown();
    releaseMemory();
}

int WaveInDevice::fail(int error) {
    if (!quiet_) messages_.show(waveInErrorText(error), translate("WaveInput", kErrorCaption));
    return error;
}

void WaveInDevice::Relay::onWaveInOpen() {
    if (device_.listener_ != nullptr) device_.listener_->onWaveInOpen();
}

void WaveInDevice::Relay::onWaveInData() {
    if (device_.listener_ != nullptr) device_.listener_->onWaveInData();
}

void WaveInDevice::Relay::onWaveInClose() {
    if (device_.listener_ != nullptr) device_.listener_->onWaveInClose();
}

void WaveInDevice::Relay::onWaveInError(int error) {
    device_.stopping_ = true;
    // A source that came or went is no failure: the owner moves the recording and says so.
    if (error != kWaveInSourceChanged) device_.fail(error);
    if (device_.listener_ != nullptr) device_.listener_->onWaveInError(error);
}

int WaveInDevice::queryFormats(int rates[3], int depths[2], int* deviceCount, std::string* name) {
    for (int i = 0; i < 3; ++i) rates[i] = 0;
    for (int i = 0; i < 2; ++i) depths[i] = 0;
    *deviceCount = service_.deviceCount();
    if (*deviceCount <= 0) {
        *deviceCount = 0;
        return -1;
    }
    for (int device = 0; device < *deviceCount; ++device) {
        WaveInCaps caps;
        if (service_.capabilities(-1, &caps) != kWaveInNoError) {
            caps = WaveInCaps{};
            const int error = service_.capabilities(device, &caps);
            if (error != kWaveInNoError) {
                fail(error);
                continue;
            }
        }
        if (name != nullptr) *name = caps.name;
        for (int r = 0; r < 3; ++r) {
            for (int d = 0; d < 2; ++d) {
                if ((caps.formats & formatBit(r, d)) == 0) continue;
                rates[r] = kRates[r];
                depths[d] = kDepths[d];
            }
        }
    }
    return 0;
}

int WaveInDevice::open(WaveInListener* listener, int rate, int bits, int samplesPerBuffer) {
    if (open_) return fail(kWaveInAlreadyOpen);
    format_ = WaveFormat{};
    format_.samplesPerSec = rate > 0 ? static_cast<std::uint32_t>(rate) : 0;
    format_.blockAlign = static_cast<std::uint16_t>(bits / 8);
    format_.avgBytesPerSec = format_.samplesPerSec * format_.blockAlign;
    format_.bitsPerSample = static_cast<std::uint16_t>(bits);
    // An empty buffer would come back at once and for ever.
    if (samplesPerBuffer < 1 || samplesPerBuffer > kMaxSamplesPerBuffer || rate < 1 ||
        (bits != 8 && bits != 16)) {
        return fail(kWaveInInvalidParameter);
    }
    bufferBytes_ = samplesPerBuffer * (bits / 8);

    for (int i = 0; i < kBufferCount; ++i) {
        header_[i] = new (std::nothrow) WaveInBlock;
        if (header_[i] == nullptr) {
            releaseMemory();
            messages_.show(translate("WaveInput", "wave header allocation error"),
                           translate("WaveInput", kMemoryCaption));
            return -1;
        }
    }
    for (int i = 0; i < kBufferCount; ++i) {
        buffer_[i] = new (std::nothrow) std::uint8_t[bufferBytes_];
        if (buffer_[i] == nullptr) {
            releaseMemory();
            messages_.show(translate("WaveInput", "wave buffer allocation error"),
                           translate("WaveInput", kMemoryCaption));
            return -1;
        }
    }

    started_ = false;
    stopping_ = false;
    current_ = 0;
    queued_ = 0;
    listener_ = listener;
    const int error = service_.open(&relay_, format_);
    if (error != kWaveInNoError) {
        releaseMemory();
        return fail(error);
    }
    open_ = true;
    return 0;
}

int WaveInDevice::start() {
    if (stopping_) return 0;
    if (!open_) return fail(kWaveInNotOpen);
    if (!started_) {
        for (int i = 0; i < kBufferCount; ++i) {
            *header_[i] = WaveInBlock{};
            header_[i]->data = buffer_[i];
            header_[i]->bufferLength = static_cast<std::uint32_t>(bufferBytes_);
            header_[i]->prepared = true;
        }
        int error = service_.addBuffer(header_[0]);
        if (error != kWaveInNoError) return fail(error);
        current_ = 1;
        queued_ = 1;
        error = service_.start();
        if (error != kWaveInNoError) return fail(error);
        started_ = true;
    }
    const int result = service_.addBuffer(header_[current_]);
    queued_ += 1;
    current_ = 1 - current_;
    return result;
}

bool WaveInDevice::newerBlockWaiting() const {
    if (!open_ || !started_ || stopping_) return false;
    const WaveInBlock* next = header_[1 - current_];
    return next->prepared && !next->queued && next->bytesRecorded > 0;
}

const std::uint8_t* WaveInDevice::currentData() const {
    return open_ ? buffer_[current_] : nullptr;
}

std::uint32_t WaveInDevice::currentRecorded() const {
    if (!open_) return 0;
    const std::uint32_t recorded = header_[current_]->bytesRecorded;
    return recorded < static_cast<std::uint32_t>(bufferBytes_)
               ? recorded
               : static_cast<std::uint32_t>(bufferBytes_);
}

void WaveInDevice::convert(int* samples, unsigned count, int* min, int* max) const {
    const SampleRange range =
        convertSamples(currentData(), currentRecorded(), format_.bitsPerSample, samples, count);
    *min = range.min;
    *max = range.max;
}

int WaveInDevice::reset() {
    stopping_ = true;
    const int error = service_.reset();
    if (error != kWaveInNoError) return fail(error);
    return 0;
}

int WaveInDevice::close() {
    if (!open_) return fail(kWaveInNotOpen);
    // The service must give the buffers back before their memory goes.
    const int error = service_.close();
    if (error != kWaveInNoError) return fail(error);
    open_ = false;
    started_ = false;
    releaseMemory();
    return 0;
}

void WaveInDevice::releaseMemory() {
    for (int i = 0; i < kBufferCount; ++i) {
        delete[] buffer_[i];
        buffer_[i] = nullptr;
        delete header_[i];
        header_[i] = nullptr;
    }
}

}  // namespace merlop
