#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace merlop {

class MessageBox;

// What the input device tells its owner. Every notification arrives later from the event loop,
// never from inside a device call, so a handler may call the device again.
class WaveInListener {
  public:
    virtual ~WaveInListener() = default;
    virtual void onWaveInOpen() = 0;
    // One queued buffer came back, full or (after a reset) partly filled.
    virtual void onWaveInData() = 0;
    virtual void onWaveInClose() = 0;
    // The device failed while recording (it was unplugged, or the sound service went away). The
    // error has been shown, the device is stopping and every queued buffer comes back as usual,
    // so the owner's close follows; a later open may find a device again.
    virtual void onWaveInError(int /*error*/) {}
};

// Mono PCM formats a capture device offers, one bit each.
enum WaveInFormatBit : unsigned {
    kMono11kHz8Bit = 1u << 0,
    kMono11kHz16Bit = 1u << 1,
    kMono22kHz8Bit = 1u << 2,
    kMono22kHz16Bit = 1u << 3,
    kMono44kHz8Bit = 1u << 4,
    kMono44kHz16Bit = 1u << 5,
};

struct WaveInCaps {
    std::string name;
    unsigned formats = 0;
};

struct WaveFormat {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// One buffer handed to the capture service. The service fills `data` from the start and sets
// `bytesRecorded`; `queued` is true from addBuffer until the buffer has been returned.
struct WaveInBlock {
    std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;
    std::uint32_t bytesRecorded = 0;
    bool prepared = false;
    bool queued = false;
};

// Error codes of the capture services; 0 is success.
enum WaveInError : int {
    kWaveInNoError = 0,
    kWaveInNoDevice = 1,
    kWaveInBadFormat = 2,
    kWaveInNotOpen = 3,
    kWaveInAlreadyOpen = 4,
    kWaveInStillRecording = 5,
    kWaveInInvalidParameter = 6,
    kWaveInDeviceFailed = 7,
    kWaveInNoCapabilities = 8,
    kWaveInDeviceLost = 9,
    // The chosen source went away while recording from it, or came back while recording from
    // the default: the recording stops as after a loss, and opens on the right one next.
    kWaveInSourceChanged = 10,
};

// A sound source the desktop offers, as its sound server names it.
struct InputSource {
    std::string id;
    std::string name;
    bool isDefault = false;
    friend bool operator==(const InputSource&, const InputSource&) = default;
};

// The message for an error code, at most 100 characters.
std::string waveInErrorText(int error);

// The sound capture service the device runs on: a mono PCM stream that fills queued buffers
// completely and strictly in queue order. Notifications go to the listener given to open.
class WaveCaptureService {
  public:
    virtual ~WaveCaptureService() = default;
    virtual int deviceCount() = 0;
    // device -1 is the input a recording opens: the chosen source when it is there, else the
    // system default.
    virtual int capabilities(int device, WaveInCaps* caps) = 0;
    // The sources there are now, in the sound server's order; none when it cannot tell.
    virtual std::vector<InputSource> inputSources() { return {}; }
    // The source the next open records from while it is there; empty for the system default.
    virtual void chooseSource(const std::string& /*id*/) {}
    // Success posts onWaveInOpen; recording waits for start. A failure while recording posts
    // onWaveInError and then returns every queued buffer, as reset does.
    virtual int open(WaveInListener* listener, const WaveFormat& format) = 0;
    // Each filled buffer is returned with one onWaveInData.
    virtual int addBuffer(WaveInBlock* block) = 0;
    virtual int start() = 0;
    // Stops recording and returns every queued buffer as it stands.
    virtual int reset() = 0;
    // Refused with kWaveInStillRecording while buffers are queued; success posts onWaveInClose.
    virtual int close() = 0;
    // Stops and closes without any further notification (the owner is going away).
    virtual void shutdown() = 0;
};

// The sound card's wave input: two buffers cycle between the capture service and the program.
// After the first start both are queued; each returned buffer is converted and queued again by
// start, so the service always has one recording and one waiting while a block is analysed.
class WaveInDevice {
  public:
    static constexpr int kBufferCount = 2;
    // Far above any analysis block or a calibration second; keeps the byte count in range.
    static constexpr int kMaxSamplesPerBuffer = 1 << 22;

    WaveInDevice(WaveCaptureService& service, MessageBox& messages);
    ~WaveInDevice();
    WaveInDevice(const WaveInDevice&) = delete;
    WaveInDevice& operator=(const WaveInDevice&) = delete;

    // rates: 11025, 22050, 44100 or 0 when unsupported; depths: 8, 16 or 0. Returns -1 with no
    // capture device (everything 0), else 0.
    int queryFormats(int rates[3], int depths[2], int* deviceCount, std::string* name);
    // Returns 0 or the error (shown); -1 when the buffers could not be allocated.
    int open(WaveInListener* listener, int rate, int bits, int samplesPerBuffer);
    int start();
    // The buffer that completed last, on the 12-bit scale; a short buffer is padded with zeros.
    void convert(int* samples, unsigned count, int* min, int* max) const;
    int reset();
    int close();

    // The owner's buffer handler counts every returned buffer here; returns the count still queued.
    int bufferReturned() { return --queued_; }

    // True when the buffer after the one that completed last has been filled as well: the
    // completed one is stale, and the owner may skip it for the newer.
    bool newerBlockWaiting() const;

    // While quiet, failures are returned but not shown: the owner has told the user once and
    // is trying again.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    bool quiet() const { return quiet_; }

    bool isOpen() const { return open_; }
    bool started() const { return started_; }
    bool stopping() const { return stopping_; }
    int current() const { return current_; }
    int queued() const { return queued_; }
    int bufferBytes() const { return bufferBytes_; }
    const WaveFormat& format() const { return format_; }
    // Raw bytes of the buffer that completed last, for readers that need them unconverted.
    const std::uint8_t* currentData() const;
    std::uint32_t currentRecorded() const;

  private:
    // Stands between the service and the owner so that a failure is shown and stops the device
    // before the owner hears of it and of the buffers coming back.
    class Relay : public WaveInListener {
      public:
        explicit Relay(WaveInDevice& device) : device_(device) {}
        void onWaveInOpen() override;
        void onWaveInData() override;
        void onWaveInClose() override;
        void onWaveInError(int error) override;

      private:
        WaveInDevice& device_;
    };

    int fail(int error);
    void releaseMemory();

    Relay relay_{*this};
    WaveInListener* listener_ = nullptr;
    WaveCaptureService& service_;
    MessageBox& messages_;
    WaveFormat format_;
    bool open_ = false;
    std::uint8_t* buffer_[kBufferCount] = {nullptr, nullptr};
    int bufferBytes_ = 0;
    WaveInBlock* header_[kBufferCount] = {nullptr, nullptr};
    bool started_ = false;
    bool stopping_ = false;
    bool quiet_ = false;
    int current_ = 0;
    int queued_ = 0;
};

}  // namespace merlop
