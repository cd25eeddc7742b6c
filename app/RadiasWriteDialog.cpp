#include "app/RadiasWriteDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QtChild.h"
#include "app/QtText.h"
#include "library/SafeFile.h"
#include "library/Utf8Path.h"
#include "midi/MidiCable.h"
#include "midi/MidiMessages.h"
#include "synth/ChannelText.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasProgramMessages.h"
#include "synth/RadiasSlots.h"
#include "synth/RadiasWriteItems.h"

namespace patchferry {
namespace {

// About how long one program takes: its dump on the cable, and the answer. The bar moves within
// a program by the time gone, so it moves at every poll, not once a program.
constexpr auto kStepTime = midi::kMidiByteTime * synth::kStoredProgramDumpSize;
constexpr int kStepUnits = 100;
// The programs a question names one by one; the rest are counted.
constexpr std::size_t kNamedInQuestion = 16;

const QString kConnectText = QStringLiteral(
    "Connect the Radias to a MIDI interface with both a MIDI OUT and a MIDI IN: the Radias's MIDI "
    "IN to the interface's MIDI OUT and its MIDI OUT to the interface's MIDI IN. Then choose the "
    "interface's port in the MIDI bar, and as Midi Chan the Radias's global MIDI channel.");

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Program names and labels are single bytes, shown as Latin-1.
QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

RadiasWriteDialog::RadiasWriteDialog(MidiState& midi, MessageBoxSeam& boxes, FileDialogSeam& files,
                                     RadiasPlace place, WriteSource source, QWidget* parent)
    : QDialog(parent),
      midi_(midi),
      boxes_(boxes),
      files_(files),
      place_(std::move(place)),
      source_(std::move(source)),
      where_(QtChild<QLabel>(this)),
      targets_(QtChild<QListWidget>(this)),
      backupPath_(QtChild<QLineEdit>(this)),
      changeButton_(QtChild<QPushButton>(QStringLiteral("C&hange..."), this)),
      progress_(QtChild<QProgressBar>(this)),
      status_(QtChild<QLabel>(this)),
      startButton_(QtChild<QPushButton>(
          Restoring() ? QStringLiteral("&Restore") : QStringLiteral("&Write"), this)),
      cancelButton_(QtChild<QPushButton>(QStringLiteral("Close"), this)),
      poll_(QtChild<QTimer>(this)) {
    setWindowTitle(Restoring() ? QStringLiteral("Restore Radias Backup")
                               : QStringLiteral("Write to Radias"));
    auto* layout = QtChild<QVBoxLayout>(this);

    if (Restoring()) {
        const std::size_t count = source_.backup.size() / synth::kStoredProgramDumpSize;
        layout->addWidget(QtChild<QLabel>(
            QStringLiteral("The %1 program(s) of %2, each back into the slot it came from.")
                .arg(count)
                .arg(Shown(source_.backupName)),
            this));
    } else {
        const QString selectedText =
            source_.selected
                ? QStringLiteral("The &selected program: %1%2 %3")
                      .arg(Utf8(source_.selected->BankLabel()),
                           Utf8(source_.selected->NumberLabel()), Latin1(source_.selected->Name()))
                : QStringLiteral("The &selected program: none is selected");
        selectedButton_ = QtChild<QRadioButton>(selectedText, this);
        listedButton_ =
            QtChild<QRadioButton>(QStringLiteral("&Every program listed (%1), in the list's order")
                                      .arg(source_.listed.size()),
                                  this);
        selectedButton_->setEnabled(source_.selected.has_value());
        (source_.selected ? selectedButton_ : listedButton_)->setChecked(true);
        firstSlot_ = QtChild<QComboBox>(this);
        for (int slot = 0; slot < synth::radias::kPrograms; ++slot) {
            firstSlot_->addItem(Utf8(synth::SlotName(slot)));
        }
        auto* slotLabel = QtChild<QLabel>(QStringLiteral("&First slot on the Radias:"), this);
        slotLabel->setBuddy(firstSlot_);
        layout->addWidget(selectedButton_);
        layout->addWidget(listedButton_);
        auto* slotRow = QtChild<QHBoxLayout>();
        slotRow->addWidget(slotLabel);
        slotRow->addWidget(firstSlot_);
        slotRow->addStretch();
        layout->addLayout(slotRow);
        connect(selectedButton_, &QRadioButton::toggled, this, &RadiasWriteDialog::ShowTargets);
        connect(firstSlot_, &QComboBox::currentIndexChanged, this, &RadiasWriteDialog::ShowTargets);
    }

    layout->addWidget(where_);
    where_->setWordWrap(true);
    auto* targetsLabel = QtChild<QLabel>(QStringLiteral("&Target slots:"), this);
    targetsLabel->setBuddy(targets_);
    layout->addWidget(targetsLabel);
    layout->addWidget(targets_);
    auto* backupLabel =
        QtChild<QLabel>(QStringLiteral("&Backup of the programs replaced (a new file):"), this);
    backupLabel->setBuddy(backupPath_);
    layout->addWidget(backupLabel);
    auto* backupRow = QtChild<QHBoxLayout>();
    backupRow->addWidget(backupPath_, 1);
    backupRow->addWidget(changeButton_);
    layout->addLayout(backupRow);
    layout->addWidget(progress_);
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto* buttons = QtChild<QDialogButtonBox>(this);
    buttons->addButton(startButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    startButton_->setDefault(true);
    backupPath_->setMinimumWidth(420);
    backupPath_->setText(Shown(NewBackupPath()));
    progress_->setValue(0);

    if (!Reachable()) {
        where_->setText(kConnectText);
    } else {
        where_->setText(
            QStringLiteral("The Radias on %1 (out) and %2 (in), global MIDI channel %3.")
                .arg(Utf8(place_.output.name), Utf8(place_.input->name),
                     Utf8(synth::ChannelText(place_.channel))));
    }
    connect(startButton_, &QPushButton::clicked, this, &RadiasWriteDialog::OnStart);
    connect(cancelButton_, &QPushButton::clicked, this, &RadiasWriteDialog::OnCancel);
    connect(changeButton_, &QPushButton::clicked, this, &RadiasWriteDialog::OnChangeBackup);
    poll_->setInterval(kPollMilliseconds);
    connect(poll_, &QTimer::timeout, this, &RadiasWriteDialog::OnPoll);
    ShowTargets();
}

RadiasWriteDialog::~RadiasWriteDialog() = default;

bool RadiasWriteDialog::Reachable() const {
    return !place_.output.name.empty() && place_.input && place_.channel >= 0;
}

std::vector<synth::WriteItem> RadiasWriteDialog::Items() const {
    const int channel = std::max(place_.channel, 0);
    if (Restoring()) {
        return synth::RestoreItems(source_.backup, channel);
    }
    std::vector<const ProgramEntry*> entries;
    if (selectedButton_->isChecked() && source_.selected) {
        entries.push_back(&*source_.selected);
    } else {
        for (const ProgramEntry& entry : source_.listed) {
            entries.push_back(&entry);
        }
    }
    return synth::ConvertedItems(entries, firstSlot_->currentIndex(), channel)
        .value_or(std::vector<synth::WriteItem>{});
}

// The slots and what goes into each; why nothing can go when nothing can.
void RadiasWriteDialog::ShowTargets() {
    targets_->clear();
    const std::vector<synth::WriteItem> items = Items();
    for (const synth::WriteItem& item : items) {
        targets_->addItem(
            QStringLiteral("%1  <-  %2").arg(Utf8(synth::SlotName(item.slot)), Latin1(item.label)));
    }
    QString why;
    if (!Restoring() && items.empty()) {
        const std::size_t count =
            selectedButton_->isChecked() ? std::size_t{1} : source_.listed.size();
        why = count == 0 ? QStringLiteral("No program is listed: open a file first.")
                         : Sentence(synth::PastLastSlotText(count, firstSlot_->currentIndex())) +
                               QStringLiteral(". Choose an earlier first slot.");
    } else if (!Reachable()) {
        why = kConnectText;
    }
    status_->setText(why);
    startButton_->setEnabled(why.isEmpty() && !Busy());
}

QString RadiasWriteDialog::NewBackupPath() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(Utf8(synth::DefaultBackupName()));
}

void RadiasWriteDialog::OnChangeBackup() {
    const QString path = files_.ChooseSaveFile(this, QStringLiteral("Save the Radias Backup As"),
                                               QDir::fromNativeSeparators(backupPath_->text()));
    if (!path.isEmpty()) {
        backupPath_->setText(Shown(path));
    }
}

void RadiasWriteDialog::OnStart() {
    if (Busy()) {
        return;
    }
    std::vector<synth::WriteItem> items = Items();
    if (items.empty() || !Reachable()) {
        return;
    }
    // The backup's name is checked before the Radias is asked anything: nothing is written into
    // it without a backup, and a run is not done in vain.
    const QString path = QDir::fromNativeSeparators(backupPath_->text().trimmed());
    const auto file = path.isEmpty() ? std::nullopt : PathFromUtf8(path.toStdString());
    if (!file || !file->has_filename()) {
        boxes_.Show(this, MessageIcon::Exclamation,
                    QStringLiteral("Give the backup a file name. Nothing was sent."));
        return;
    }
    if (EntryAt(*file) != EntryKind::None) {
        boxes_.Show(this, MessageIcon::Exclamation,
                    QStringLiteral("%1 is already there; a backup never replaces anything. Choose "
                                   "another name for the backup. Nothing was sent.")
                        .arg(Shown(path)));
        return;
    }
    const std::string refusal = FolderRefusal(file->parent_path());
    if (!refusal.empty()) {
        boxes_.Show(this, MessageIcon::Exclamation,
                    QStringLiteral("The backup cannot be saved in %1: %2. Choose another folder "
                                   "for it. Nothing was sent.")
                        .arg(Shown(QFileInfo(path).absolutePath()), Utf8(refusal)));
        return;
    }
    std::string error;
    auto connection = midi_.Connect(*place_.input, error);
    if (!connection) {
        boxes_.Show(this, MessageIcon::Error, Sentence(error));
        return;
    }
    talk_ = std::make_unique<synth::Conversation>(std::move(connection));
    run_ = std::make_unique<synth::RadiasWriteRun>(*talk_, place_.channel, std::move(items));
    runBackup_ = path;
    backupSaved_ = false;
    cancelling_ = false;
    doneSteps_ = 0;
    sinceStep_.start();
    progress_->setRange(0, static_cast<int>(2 * run_->Items().size() + 1) * kStepUnits);
    progress_->setValue(0);
    if (!run_->Start(error)) {
        Finish(Utf8(midi::SendFailureMessage(error)), true);
        return;
    }
    status_->setText(QStringLiteral("Reading what the target slots hold now..."));
    startButton_->setEnabled(false);
    SetChoicesEnabled(false);
    cancelButton_->setText(QStringLiteral("Cancel"));
    poll_->start();
}

void RadiasWriteDialog::OnPoll() {
    if (!run_) {
        poll_->stop();
        return;
    }
    std::string error;
    if (!run_->Step(std::chrono::milliseconds(0), error)) {
        Finish(Utf8(midi::SendFailureMessage(error)) + QStringLiteral("\n\n") + StoppedText(),
               true);
        return;
    }
    ShowProgress();
    switch (run_->Phase()) {
        case synth::WritePhase::BackingUp:
            if (cancelling_) {
                talk_->Cancel();
                Finish(QStringLiteral("Cancelled. Nothing was written into the Radias."), false);
            }
            return;
        case synth::WritePhase::BackedUp:
            OnBackedUp();
            return;
        case synth::WritePhase::Writing:
        case synth::WritePhase::ReadingBack:
            return;
        case synth::WritePhase::Done:
            Finish(
                Utf8(synth::WrittenText(*run_, place_.channel, Shown(runBackup_).toStdString())) +
                    QStringLiteral("."),
                false);
            return;
        case synth::WritePhase::Idle:
        case synth::WritePhase::Failed:
        case synth::WritePhase::Cancelled:
            break;
    }
    Finish(StoppedText(), run_->Phase() == synth::WritePhase::Failed);
}

QString RadiasWriteDialog::StoppedText() const {
    return Sentence(
        synth::StoppedText(*run_, place_.input->name, place_.channel,
                           backupSaved_ ? Shown(runBackup_).toStdString() : std::string()));
}

// The target slots are read: their backup is saved, the user is asked, and only then is
// anything written.
void RadiasWriteDialog::OnBackedUp() {
    poll_->stop();
    const std::vector<std::uint8_t>& backup = run_->Backup();
    const auto file = PathFromUtf8(runBackup_.toStdString());
    const WriteResult saved = WriteNewFile(*file, backup, ExistingEntry::Keep);
    if (saved.status != WriteStatus::Written) {
        const QString reason = saved.status == WriteStatus::AlreadyThere
                                   ? QStringLiteral("something took its name meanwhile")
                                   : Utf8(saved.reason);
        Finish(QStringLiteral("The backup could not be saved as %1: %2. Nothing was written into "
                              "the Radias.")
                   .arg(Shown(runBackup_), reason),
               true);
        return;
    }
    backupSaved_ = true;
    const std::vector<synth::WriteItem>& items = run_->Items();
    QString replaced;
    for (std::size_t n = 0; n < items.size(); ++n) {
        const auto dump = std::span(backup).subspan(n * synth::kStoredProgramDumpSize,
                                                    synth::kStoredProgramDumpSize);
        const QString slot = Utf8(synth::SlotName(items[n].slot));
        const QString name = Latin1(synth::StoredProgramName(dump));
        targets_->item(static_cast<int>(n))
            ->setText(QStringLiteral("%1 \"%2\"  <-  %3").arg(slot, name, Latin1(items[n].label)));
        if (n < kNamedInQuestion) {
            replaced += QStringLiteral("\n%1 \"%2\"").arg(slot, name);
        }
    }
    if (items.size() > kNamedInQuestion) {
        replaced += QStringLiteral("\nand %1 more").arg(items.size() - kNamedInQuestion);
    }
    const QString span = Utf8(synth::SlotSpan(items, items.size()));
    const QString question =
        QStringLiteral(
            "%1 %2 program(s) into %3 on the Radias?\n\nThey replace:%4\n\nWhat these "
            "slots hold now is saved in %5.")
            .arg(Restoring() ? QStringLiteral("Restore") : QStringLiteral("Write"))
            .arg(items.size())
            .arg(span, replaced, Shown(runBackup_));
    if (cancelling_ || !boxes_.Ask(this, question)) {
        Finish(
            QStringLiteral("Nothing was written into the Radias. What %1 hold(s) is saved in %2.")
                .arg(span, Shown(runBackup_)),
            false);
        return;
    }
    std::string error;
    status_->setText(QStringLiteral("Writing..."));
    if (!run_->Proceed(error)) {
        Finish(Utf8(midi::SendFailureMessage(error)) + QStringLiteral("\n\n") + StoppedText(),
               true);
        return;
    }
    poll_->start();
}

// Steps done: each program read for the backup, each written, and the one read back. Within a
// step, the bar moves by the time gone, short of the step's end.
void RadiasWriteDialog::ShowProgress() {
    std::size_t done = 0;
    switch (run_->Phase()) {
        case synth::WritePhase::BackingUp:
            done = talk_->Backup().Received();
            break;
        case synth::WritePhase::Writing:
        case synth::WritePhase::ReadingBack:
            done = run_->Items().size() + run_->Confirmed() +
                   (run_->Confirmed() > 0 && run_->Phase() == synth::WritePhase::Writing ? 1 : 0);
            break;
        default:
            done = run_->Items().size();
            break;
    }
    if (done != doneSteps_) {
        doneSteps_ = done;
        sinceStep_.restart();
    }
    const auto gone = std::chrono::milliseconds(sinceStep_.elapsed());
    const auto within = std::min<long long>(
        kStepUnits - 5,
        gone * kStepUnits / std::chrono::duration_cast<std::chrono::milliseconds>(kStepTime));
    progress_->setValue(static_cast<int>(done) * kStepUnits + static_cast<int>(within));
}

// The choices are fixed while a run is under way.
void RadiasWriteDialog::SetChoicesEnabled(bool enabled) {
    backupPath_->setEnabled(enabled);
    changeButton_->setEnabled(enabled);
    if (firstSlot_ != nullptr) {
        firstSlot_->setEnabled(enabled);
        selectedButton_->setEnabled(enabled && source_.selected.has_value());
        listedButton_->setEnabled(enabled);
    }
}

void RadiasWriteDialog::OnCancel() {
    if (!Busy()) {
        QDialog::reject();
        return;
    }
    if (!cancelling_) {
        cancelling_ = true;
        run_->Cancel();
        status_->setText(QStringLiteral("Stopping after the program under way..."));
        cancelButton_->setEnabled(false);
    }
}

// Escape and the title bar's close: a run under way is cancelled between programs first.
void RadiasWriteDialog::reject() {
    OnCancel();
}

void RadiasWriteDialog::Finish(const QString& text, bool failed) {
    poll_->stop();
    run_.reset();
    talk_.reset();  // the input is free again
    if (!failed) {
        progress_->setValue(progress_->maximum());
    }
    cancelButton_->setText(QStringLiteral("Close"));
    cancelButton_->setEnabled(true);
    SetChoicesEnabled(true);
    // A backup saved keeps its name; the next run gets a new one.
    if (backupSaved_) {
        backupPath_->setText(Shown(NewBackupPath()));
    }
    ShowTargets();
    status_->setText(text);
    emit Finished(text);
    if (failed) {
        boxes_.Show(this, MessageIcon::Error, text);
    }
}

}  // namespace patchferry
