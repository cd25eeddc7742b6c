#include "synth/RadiasWriteRun.h"

#include <utility>

#include "synth/RadiasSlots.h"

namespace patchferry::synth {

RadiasWriteRun::RadiasWriteRun(Conversation& talk, int channel, std::vector<WriteItem> items)
    : talk_(talk), channel_(channel), items_(std::move(items)) {}

bool RadiasWriteRun::Start(std::string& error) {
    std::vector<int> slots;
    for (const WriteItem& item : items_) {
        slots.push_back(item.slot);
    }
    phase_ = WritePhase::BackingUp;
    if (!talk_.StartBackup(std::move(slots), channel_, error)) {
        Fail(error);
        return false;
    }
    return true;
}

bool RadiasWriteRun::Proceed(std::string& error) {
    if (phase_ != WritePhase::BackedUp) {
        return false;
    }
    phase_ = WritePhase::Writing;
    next_ = 0;
    return WriteNext(error);
}

bool RadiasWriteRun::WriteNext(std::string& error) {
    if (next_ == items_.size()) {
        phase_ = WritePhase::Done;
        return true;
    }
    if (cancelRequested_) {
        phase_ = WritePhase::Cancelled;
        return true;
    }
    phase_ = WritePhase::Writing;
    if (!talk_.StartConfirm(items_[next_].dump, channel_, error)) {
        Fail(error);
        return false;
    }
    return true;
}

bool RadiasWriteRun::Step(std::chrono::milliseconds wait, std::string& error) {
    if (!Busy()) {
        return true;
    }
    if (!talk_.Step(wait, error)) {
        Fail(error);
        return false;
    }
    if (talk_.Running()) {
        return true;
    }
    switch (phase_) {
        case WritePhase::BackingUp: {
            const RadiasBackup& backup = talk_.Backup();
            if (backup.State() != BackupState::Done) {
                Fail("the programs to be replaced could not be read: " + backup.FailureText(),
                     backup.Unanswered());
                return true;
            }
            backup_ = backup.Dumps();
            phase_ = WritePhase::BackedUp;
            return true;
        }
        case WritePhase::Writing: {
            const DumpConfirmation& answer = talk_.Confirmation();
            const std::string target = SlotName(items_[next_].slot);
            if (answer.State() != ConfirmState::Answered) {
                Fail("no answer from the Radias to " + items_[next_].label + " for " + target +
                         "; it may or may not have stored it",
                     true);
                return true;
            }
            if (answer.Answer() != RadiasAnswer::DataLoadCompleted) {
                Fail("the Radias refused " + items_[next_].label + " for " + target + " with " +
                     std::string(AnswerName(answer.Answer())) + ". " +
                     RefusalAdvice(answer.Answer()));
                return true;
            }
            ++confirmed_;
            if (!readBack_) {
                readBack_ = true;
                phase_ = WritePhase::ReadingBack;
                if (!talk_.StartBackup({items_[next_].slot}, channel_, error)) {
                    Fail(error);
                    return false;
                }
                return true;
            }
            ++next_;
            return WriteNext(error);
        }
        case WritePhase::ReadingBack: {
            const RadiasBackup& readBack = talk_.Backup();
            const std::string target = SlotName(items_[next_].slot);
            if (readBack.State() != BackupState::Done) {
                Fail("the program written to " + target +
                         " could not be read back: " + readBack.FailureText(),
                     readBack.Unanswered());
                return true;
            }
            if (const auto at = FirstDifference(items_[next_].dump, readBack.Dumps())) {
                Fail("the program read back from " + target +
                     " differs from the one written (byte " + std::to_string(*at) +
                     "), so the Radias may not read the addresses as this program writes them");
                return true;
            }
            ++next_;
            return WriteNext(error);
        }
        default:
            return true;
    }
}

void RadiasWriteRun::Fail(std::string text, bool unanswered) {
    failure_ = std::move(text);
    unanswered_ = unanswered;
    phase_ = WritePhase::Failed;
}

}  // namespace patchferry::synth
