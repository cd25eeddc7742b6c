#pragma once
// A real CMainFrame with scripted seams: the Open dialog returns the files a test queues, message
// boxes are captured instead of shown, the settings live in an INI file of a temporary folder, and
// MIDI goes to the scriptable fake service.

#include <QSettings>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/MainFrame.h"
#include "app/Seams.h"
#include "midi/fake/FakeMidiService.h"
#include "support/SyxBuilder.h"

namespace patchferry::testing {

class ScriptedFileDialog final : public FileDialogSeam {
  public:
    void QueueChoice(QStringList files) { choices_.push_back(std::move(files)); }
    void QueueCancel() { choices_.push_back({}); }
    int Calls() const { return calls_; }
    QStringList ChooseSyxFiles(QWidget* owner) override;
    // Save dialogs answer with the queued paths in turn; cancelled when none is left.
    void QueueSaveChoice(QString path) { saveChoices_.push_back(std::move(path)); }
    QString ChooseSaveFile(QWidget* owner, const QString& title,
                           const QString& suggestedName) override;
    QString lastSaveTitle;
    QString lastSuggestedName;

  private:
    std::vector<QString> saveChoices_;
    std::vector<QStringList> choices_;
    int calls_ = 0;
};

struct CapturedMessage {
    MessageIcon icon;
    QString text;
};

class CapturingMessageBox final : public MessageBoxSeam {
  public:
    void Show(QWidget* owner, MessageIcon icon, const QString& text) override;
    // Questions are captured as shown messages and answered with the queued answers in turn;
    // No when none is left.
    bool Ask(QWidget* owner, const QString& text) override;
    // Save questions are kept apart and answered with the queued choices in turn; Discard when
    // none is left.
    SaveChoice AskSave(QWidget* owner, const QString& text) override;
    std::vector<bool> answers;
    std::vector<SaveChoice> saveChoices;
    std::vector<QString> saveQuestions;
    std::vector<CapturedMessage> shown;
    std::function<void()> onShow;  // runs while the box would be up
};

class FrameHarness {
  public:
    FrameHarness();
    ~FrameHarness();
    FrameHarness(const FrameHarness&) = delete;
    FrameHarness& operator=(const FrameHarness&) = delete;

    // Builds and shows the window over the current settings file.
    CMainFrame& Start();
    // Closes the window as the user would (running its shut-down) and drops it.
    void Close();
    CMainFrame& Frame() { return *frame_; }

    // A settings store over the same INI file, to seed or inspect values around a run.
    std::unique_ptr<QSettings> Store() const;

    // Writes a file into the temporary folder and returns its path.
    QString WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Chooses `paths` in the Open dialog and runs Open.
    void Open(const QStringList& paths);

    // Selects exactly these rows of the list.
    void SelectRows(std::initializer_list<int> rows);
    // Lets posted events (the list's notifications) arrive.
    static void Deliver();

    const TempDir& Folder() const { return folder_; }

    ScriptedFileDialog dialog;
    CapturingMessageBox boxes;
    midi::FakeMidiService midi;

  private:
    TempDir folder_;
    std::filesystem::path startFolder_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<CMainFrame> frame_;
};

// A program dump of 128 programs whose first names are `names` (the rest keep their generated
// names and data).
std::vector<std::uint8_t> NamedBankDump(const std::vector<std::string>& names);

}  // namespace patchferry::testing
