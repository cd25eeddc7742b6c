#include "midi/winmm/WinMmInput.h"

#include <algorithm>
#include <utility>

namespace patchferry::midi::winmm {

namespace {
constexpr std::uint8_t kBrokenMarker = 0xF4;  // an undefined status byte: no message of its own

void AddSentence(std::string& text, const std::string& sentence) {
    if (!text.empty()) {
        text += ' ';
    }
    text += sentence + '.';
}
}  // namespace

std::vector<std::uint8_t> ShortMessageBytes(DWORD_PTR packed) {
    const auto status = static_cast<std::uint8_t>(packed & 0xFFU);
    std::size_t length = 1;
    if (status >= 0x80 && status < 0xF0) {
        const std::uint8_t kind = status & 0xF0U;
        length = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    } else if (status == 0xF1 || status == 0xF3) {
        length = 2;
    } else if (status == 0xF2) {
        length = 3;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < length; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((packed >> (8 * i)) & 0xFFU));
    }
    return bytes;
}

WinMmInput::WinMmInput(WinMmInApi& api, MidiInputSink sink, WinMmErrorText errorText)
    : api_(api), sink_(std::move(sink)), errorText_(std::move(errorText)) {}

WinMmInput::~WinMmInput() {
    // Nobody is left to tell; what matters is that nothing the driver may still touch is freed,
    // which Close sees to.
    static_cast<void>(Close());
}

MMRESULT WinMmInput::Open(UINT device) {
    HMIDIIN native = nullptr;
    MMRESULT result = api_.Open(native, device, reinterpret_cast<DWORD_PTR>(&WinMmInput::Callback),
                                reinterpret_cast<DWORD_PTR>(driver_.get()), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    native_ = native;
    for (Buffer& buffer : driver_->buffers) {
        buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.bytes.data());
        buffer.header.dwBufferLength = kInputBufferSize;
        result = api_.PrepareHeader(native, buffer.header);
        if (result != MMSYSERR_NOERROR) {
            break;
        }
        buffer.prepared = true;
        result = GiveBack(native, buffer);
        if (result != MMSYSERR_NOERROR) {
            break;
        }
    }
    if (result == MMSYSERR_NOERROR) {
        worker_ = std::thread([this, native] { Run(native); });
        result = api_.Start(native);
    }
    if (result != MMSYSERR_NOERROR) {
        static_cast<void>(Close());  // the open's own result is what the caller is told
    }
    return result;
}

std::string WinMmInput::Close() {
    if (!driver_) {
        return {};
    }
    DriverSide& driver = *driver_;
    {
        // From here on no byte reaches the sink and no buffer is given back: the worker ends
        // before the reset, so nothing can be queued behind it.
        const std::lock_guard lock(driver.mutex);
        driver.stopping = true;
    }
    driver.changed.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
    if (native_ == nullptr) {
        return {};
    }
    std::string problems;
    const auto check = [&](MMRESULT result, const char* what) {
        if (result != MMSYSERR_NOERROR) {
            AddSentence(problems, std::string(what) + ": " + ErrorText(result));
        }
        return result == MMSYSERR_NOERROR;
    };
    // The reset returns every buffer as done, through the callback (some drivers only later, from
    // their own thread).
    check(api_.Reset(native_), "The MIDI input could not be reset");
    {
        std::unique_lock lock(driver.mutex);
        if (!driver.changed.wait_for(lock, kInputReturnWait,
                                     [&driver] { return driver.AllReturned(); })) {
            AddSentence(problems, "The MIDI input's driver did not return all its buffers");
        }
    }
    std::size_t unreleased = 0;
    MMRESULT unprepared = MMSYSERR_NOERROR;
    for (Buffer& buffer : driver.buffers) {
        if (buffer.prepared) {
            if (const MMRESULT result = api_.UnprepareHeader(native_, buffer.header);
                result == MMSYSERR_NOERROR) {
                buffer.prepared = false;
            } else {
                ++unreleased;
                unprepared = result;
            }
        }
    }
    if (unreleased > 0) {
        AddSentence(problems,
                    std::to_string(unreleased) + " of " + std::to_string(kInputBuffers) +
                        " MIDI input buffers could not be released: " + ErrorText(unprepared));
    }
    const bool closed = check(api_.Close(native_), "The MIDI input could not be closed");
    native_ = nullptr;
    closeProblem_ = problems;
    if (!closed) {
        // The driver keeps the handle, and with it the buffers and the callback's instance.
        Park(std::move(driver_));
    }
    return problems;
}

std::string WinMmInput::Problem() const {
    std::string text;
    if (driver_) {
        const std::lock_guard lock(driver_->mutex);
        text = driver_->problem;
    }
    if (!text.empty() && !closeProblem_.empty()) {
        text += ' ';
    }
    text += closeProblem_;
    return text;
}

void WinMmInput::Park(std::unique_ptr<DriverSide> driver) {
    struct Parked {
        std::mutex mutex;
        std::vector<std::unique_ptr<DriverSide>> sides;
    };
    // Never destroyed, not even at exit: the driver's thread may outlive the program's statics.
    static Parked* const parked = new Parked();  // NOLINT(cppcoreguidelines-owning-memory)
    const std::lock_guard lock(parked->mutex);
    parked->sides.push_back(std::move(driver));
}

std::string WinMmInput::ErrorText(MMRESULT result) const {
    std::string text = errorText_ ? errorText_(result) : std::string();
    // Without its full stop: it is followed by more.
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "MIDI error " + std::to_string(result) : text;
}

MMRESULT WinMmInput::GiveBack(HMIDIIN native, Buffer& buffer) {
    buffer.header.dwBytesRecorded = 0;
    {
        // Marked first: the driver may fill it and call back before AddBuffer returns.
        const std::lock_guard lock(driver_->mutex);
        buffer.withDriver = true;
    }
    const MMRESULT result = api_.AddBuffer(native, buffer.header);
    if (result != MMSYSERR_NOERROR) {
        const std::lock_guard lock(driver_->mutex);
        buffer.withDriver = false;
    }
    return result;
}

void WinMmInput::Run(HMIDIIN native) {
    DriverSide& driver = *driver_;
    std::unique_lock lock(driver.mutex);
    for (;;) {
        driver.changed.wait(lock, [&driver] {
            return driver.stopping || !driver.arrived.empty() || !driver.returned.empty();
        });
        if (driver.stopping) {
            return;
        }
        const std::vector<std::uint8_t> bytes = std::exchange(driver.arrived, {});
        const std::vector<Buffer*> returned = std::exchange(driver.returned, {});
        lock.unlock();
        if (!bytes.empty()) {
            sink_(bytes);
        }
        for (Buffer* buffer : returned) {
            if (const MMRESULT result = GiveBack(native, *buffer); result != MMSYSERR_NOERROR) {
                // Each buffer lost leaves the driver fewer to fill: a long message may then be
                // dropped, so the user is told why.
                const std::string text = ErrorText(result);
                const std::lock_guard failed(driver.mutex);
                ++driver.lostBuffers;
                driver.problem =
                    "MIDI input buffers could not be given back to the driver: " + text;
                if (driver.lostBuffers > 1) {
                    driver.problem += " (" + std::to_string(driver.lostBuffers) + " times)";
                }
                driver.problem += '.';
            }
        }
        lock.lock();
    }
}

void CALLBACK WinMmInput::Callback(HMIDIIN /*in*/, UINT message, DWORD_PTR instance,
                                   DWORD_PTR param1, DWORD_PTR /*param2*/) {
    // The driver passes pointers as pointer-sized integers.
    reinterpret_cast<DriverSide*>(instance)->OnMessage(  // NOLINT(performance-no-int-to-ptr)
        message, param1);
}

// On the driver's thread: no multimedia call here, only what arrived is noted and our thread woken.
void WinMmInput::DriverSide::OnMessage(UINT message, DWORD_PTR param1) {
    const std::lock_guard lock(mutex);
    switch (message) {
        case MIM_DATA:
            if (!stopping) {
                const std::vector<std::uint8_t> bytes = ShortMessageBytes(param1);
                arrived.insert(arrived.end(), bytes.begin(), bytes.end());
            }
            break;
        case MIM_LONGDATA:
        case MIM_LONGERROR: {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the header, as a pointer-sized integer
            Buffer* buffer = Find(reinterpret_cast<const MIDIHDR*>(param1));
            if (buffer == nullptr) {
                return;
            }
            buffer->withDriver = false;
            if (!stopping) {
                const auto* data = reinterpret_cast<const std::uint8_t*>(buffer->header.lpData);
                const DWORD recorded = std::min(buffer->header.dwBytesRecorded, kInputBufferSize);
                arrived.insert(arrived.end(), data, data + recorded);
                if (message == MIM_LONGERROR) {
                    arrived.push_back(kBrokenMarker);
                }
                returned.push_back(buffer);
            }
            break;
        }
        case MIM_ERROR:
            if (!stopping) {
                arrived.push_back(kBrokenMarker);
            }
            break;
        default:
            return;
    }
    changed.notify_all();
}

WinMmInput::Buffer* WinMmInput::DriverSide::Find(const MIDIHDR* header) {
    const auto found = std::find_if(buffers.begin(), buffers.end(), [header](const Buffer& buffer) {
        return &buffer.header == header;
    });
    return found == buffers.end() ? nullptr : &*found;
}

bool WinMmInput::DriverSide::AllReturned() const {
    return std::none_of(buffers.begin(), buffers.end(),
                        [](const Buffer& buffer) { return buffer.withDriver; });
}

}  // namespace patchferry::midi::winmm
