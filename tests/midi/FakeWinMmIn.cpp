#include "midi/FakeWinMmIn.h"

#include <algorithm>
#include <iterator>

namespace patchferry::midi::winmm {
namespace {

thread_local bool inCallback = false;

constexpr std::chrono::seconds kTestWait{5};

}  // namespace

FakeWinMmIn::~FakeWinMmIn() {
    JoinBank();
}

void FakeWinMmIn::Record(const std::string& call) {
    calls_.push_back(call);
    if (inCallback) {
        misuse_.push_back(call + " from inside the callback");
    }
    if (closed_) {
        misuse_.push_back(call + " after close");
    }
}

UINT FakeWinMmIn::GetNumDevs() {
    return static_cast<UINT>(names.size());
}

MMRESULT FakeWinMmIn::GetDevCaps(UINT device, MIDIINCAPSW& caps) {
    std::fill(std::begin(caps.szPname), std::end(caps.szPname), L'\0');
    std::copy(names.at(device).begin(), names.at(device).end(), caps.szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinMmIn::Open(HMIDIIN& in, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                           DWORD flags) {
    const std::lock_guard lock(mutex_);
    Record("open " + std::to_string(device));
    callback_ = callback;
    instance_ = instance;
    openFlags = flags;
    // A handle is only ever compared, never followed.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    native_ = reinterpret_cast<HMIDIIN>(static_cast<std::uintptr_t>(0x200 + device));
    in = native_;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinMmIn::Close(HMIDIIN /*in*/) {
    const std::lock_guard lock(mutex_);
    Record("close");
    if (!queued_.empty() || filling_ != nullptr) {
        return MIDIERR_STILLPLAYING;
    }
    if (closeResult == MMSYSERR_NOERROR) {
        closed_ = true;
    }
    return closeResult;
}

MMRESULT FakeWinMmIn::PrepareHeader(HMIDIIN /*in*/, MIDIHDR& header) {
    const std::lock_guard lock(mutex_);
    Record("prepare");
    header.dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinMmIn::UnprepareHeader(HMIDIIN /*in*/, MIDIHDR& header) {
    const std::lock_guard lock(mutex_);
    Record("unprepare");
    if (std::find(queued_.begin(), queued_.end(), &header) != queued_.end() ||
        filling_ == &header) {
        return MIDIERR_STILLPLAYING;
    }
    if (unprepareResult == MMSYSERR_NOERROR) {
        header.dwFlags &= ~static_cast<DWORD>(MHDR_PREPARED);
    }
    return unprepareResult;
}

MMRESULT FakeWinMmIn::AddBuffer(HMIDIIN /*in*/, MIDIHDR& header) {
    const std::lock_guard lock(mutex_);
    Record("add");
    if (reset_) {
        misuse_.emplace_back("add after the reset");
    }
    if (addFailsFrom > 0 && ++adds_ >= addFailsFrom) {
        return addResult;
    }
    header.dwFlags = (header.dwFlags & ~static_cast<DWORD>(MHDR_DONE)) | MHDR_INQUEUE;
    queued_.push_back(&header);
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinMmIn::Start(HMIDIIN /*in*/) {
    const std::lock_guard lock(mutex_);
    Record("start");
    return startResult;
}

MMRESULT FakeWinMmIn::Reset(HMIDIIN /*in*/) {
    std::deque<MIDIHDR*> returned;
    {
        const std::lock_guard lock(mutex_);
        Record("reset");
        reset_ = true;
        if (!keepBuffersOnReset) {
            returned.swap(queued_);
        }
        changed_.notify_all();
    }
    for (MIDIHDR* header : returned) {
        header->dwBytesRecorded = 0;
        Return(header, MIM_LONGDATA);
    }
    return MMSYSERR_NOERROR;
}

void FakeWinMmIn::Return(MIDIHDR* header, UINT message) {
    header->dwFlags = (header->dwFlags & ~static_cast<DWORD>(MHDR_INQUEUE)) | MHDR_DONE;
    Call(message, reinterpret_cast<DWORD_PTR>(header));
}

void FakeWinMmIn::Call(UINT message, DWORD_PTR param1) {
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 0;
    HMIDIIN native = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (closed_) {
            misuse_.emplace_back("a call back after close");
        }
        callback = callback_;
        instance = instance_;
        native = native_;
    }
    using Proc = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
    inCallback = true;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the callback as the input gave it
    reinterpret_cast<Proc>(callback)(native, message, instance, param1, 0);
    inCallback = false;
}

bool FakeWinMmIn::Fill(const std::vector<std::uint8_t>& bytes, UINT message) {
    MIDIHDR* header = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (queued_.empty()) {
            return false;
        }
        header = queued_.front();
        queued_.pop_front();
        ++filled_;
    }
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(header->lpData));
    header->dwBytesRecorded = static_cast<DWORD>(bytes.size());
    Return(header, message);
    return true;
}

void FakeWinMmIn::Short(DWORD_PTR packed) {
    Call(MIM_DATA, packed);
}

void FakeWinMmIn::StartBank(std::vector<std::uint8_t> piece, std::chrono::milliseconds gap) {
    bank_ = std::thread([this, piece = std::move(piece), gap] { RunBank(piece, gap); });
}

void FakeWinMmIn::RunBank(std::vector<std::uint8_t> piece, std::chrono::milliseconds gap) {
    for (;;) {
        MIDIHDR* header = nullptr;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return reset_ || !queued_.empty(); });
            if (reset_) {
                return;
            }
            header = queued_.front();
            queued_.pop_front();
            filling_ = header;
        }
        // The bytes come in over the cable meanwhile; a reset does not hurry this buffer back.
        std::this_thread::sleep_for(gap);
        std::copy(piece.begin(), piece.end(), reinterpret_cast<std::uint8_t*>(header->lpData));
        header->dwBytesRecorded = static_cast<DWORD>(piece.size());
        {
            const std::lock_guard lock(mutex_);
            filling_ = nullptr;
            ++filled_;
            changed_.notify_all();
        }
        Return(header, MIM_LONGDATA);
    }
}

void FakeWinMmIn::JoinBank() {
    if (bank_.joinable()) {
        bank_.join();
    }
}

bool FakeWinMmIn::WaitQueued(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kTestWait, [&] { return queued_.size() == count; });
}

std::vector<std::string> FakeWinMmIn::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeWinMmIn::Misuse() const {
    const std::lock_guard lock(mutex_);
    return misuse_;
}

std::size_t FakeWinMmIn::Queued() const {
    const std::lock_guard lock(mutex_);
    return queued_.size();
}

std::size_t FakeWinMmIn::Filled() const {
    const std::lock_guard lock(mutex_);
    return filled_;
}

}  // namespace patchferry::midi::winmm
