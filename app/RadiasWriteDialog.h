#pragma once
// "Write to Radias" and "Restore Radias Backup": programs written into the Radias's memory, what
// they replace read back and saved first. The dialog stays beside the window, which remains
// usable: a timer moves the run on, so the progress bar moves and Cancel works between programs.
//
// Write takes the selected program or every program listed, in the list's order, into the slots
// from a first slot the user picks; Restore takes a backup's programs back into the slots they
// came from. Either way: the target slots are read and saved in a new backup file, the user is
// asked once (naming what will be replaced and the backup), then each program goes with the
// Radias's answer before the next, the first read back and compared.

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "app/MidiState.h"
#include "app/Seams.h"
#include "library/ProgramEntry.h"
#include "synth/Conversation.h"
#include "synth/RadiasWriteRun.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace patchferry {

// Where the Radias is: the MIDI bar's port, the input beside it (none when the interface has no
// MIDI IN) and the channel chosen there (0..15, or -1 when none is).
struct RadiasPlace {
    midi::MidiPortInfo output;
    std::optional<midi::MidiPortInfo> input;
    int channel = -1;
};

// What to write: the programs of the list (the selected one first, when there is one, then every
// program listed), or a backup's dumps.
struct WriteSource {
    std::optional<ProgramEntry> selected;
    std::vector<ProgramEntry> listed;
    std::vector<std::uint8_t> backup;  // Restore: the whole file, checked
    QString backupName;                // its path, as shown
};

class RadiasWriteDialog : public QDialog {
    Q_OBJECT
  public:
    // How often the run is moved on and the progress shown.
    static constexpr int kPollMilliseconds = 10;

    RadiasWriteDialog(MidiState& midi, MessageBoxSeam& boxes, FileDialogSeam& files,
                      RadiasPlace place, WriteSource source, QWidget* parent = nullptr);
    ~RadiasWriteDialog() override;

    bool Restoring() const { return !source_.backup.empty(); }
    // Whether a run is under way: the window then keeps its MIDI commands off.
    bool Busy() const { return run_ != nullptr; }

    // The controls, for tests.
    QRadioButton* SelectedButton() const { return selectedButton_; }
    QRadioButton* ListedButton() const { return listedButton_; }
    QComboBox* FirstSlot() const { return firstSlot_; }
    QListWidget* Targets() const { return targets_; }
    QLineEdit* BackupPath() const { return backupPath_; }
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* Status() const { return status_; }

    void reject() override;

  signals:
    // What came of a run, for the window's status bar.
    void Finished(const QString& text);

  private:
    // Whether there is a port, an input beside it and a channel to reach the Radias by.
    bool Reachable() const;
    std::vector<synth::WriteItem> Items() const;
    void ShowTargets();
    void OnStart();
    void OnCancel();
    void SetChoicesEnabled(bool enabled);
    void OnChangeBackup();
    void OnPoll();
    void OnBackedUp();
    void ShowProgress();
    // Ends the run, frees the input and says what came of it; a failure in a box too.
    void Finish(const QString& text, bool failed);
    // What is known after a run that stopped short.
    QString StoppedText() const;
    QString NewBackupPath() const;

    MidiState& midi_;
    MessageBoxSeam& boxes_;
    FileDialogSeam& files_;
    RadiasPlace place_;
    WriteSource source_;

    std::unique_ptr<synth::Conversation> talk_;
    std::unique_ptr<synth::RadiasWriteRun> run_;
    QString runBackup_;  // the backup file of the run under way
    bool backupSaved_ = false;
    std::size_t doneSteps_ = 0;
    QElapsedTimer sinceStep_;
    bool cancelling_ = false;

    QRadioButton* selectedButton_ = nullptr;
    QRadioButton* listedButton_ = nullptr;
    QComboBox* firstSlot_ = nullptr;
    QLabel* where_;
    QListWidget* targets_;
    QLineEdit* backupPath_;
    QPushButton* changeButton_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
    QTimer* poll_;
};

}  // namespace patchferry
