#pragma once
// The places where the window waits for a person: the Open and Save dialogs and the message
// boxes. CMainFrame talks to them through these interfaces, so tests can script the chosen files
// and answers and capture what would have been shown.

#include <QString>
#include <QStringList>

class QWidget;

namespace patchferry {

class FileDialogSeam {
  public:
    virtual ~FileDialogSeam() = default;
    // The full paths of the chosen ".syx" files in the dialog's order; empty when cancelled.
    virtual QStringList ChooseSyxFiles(QWidget* owner) = 0;
    // The full path of a ".syx" file to write, starting from `suggestedName` in the current
    // folder; empty when cancelled. Whether to replace an existing file is asked separately.
    virtual QString ChooseSaveFile(QWidget* owner, const QString& title,
                                   const QString& suggestedName) = 0;
};

enum class MessageIcon { Information, Exclamation, Error };

// The answers to "Save ... before they go?".
enum class SaveChoice { Save, Discard, Cancel };

class MessageBoxSeam {
  public:
    virtual ~MessageBoxSeam() = default;
    // A modal box with an OK button, captioned with the application title.
    virtual void Show(QWidget* owner, MessageIcon icon, const QString& text) = 0;
    // A modal question with Yes and No buttons, No the default; true for Yes.
    virtual bool Ask(QWidget* owner, const QString& text) = 0;
    // A modal question with Save, Discard and Cancel buttons, Save the default; Escape cancels.
    virtual SaveChoice AskSave(QWidget* owner, const QString& text) = 0;
};

// The real ones: QFileDialog and QMessageBox.
class QtFileDialog final : public FileDialogSeam {
  public:
    QStringList ChooseSyxFiles(QWidget* owner) override;
    QString ChooseSaveFile(QWidget* owner, const QString& title,
                           const QString& suggestedName) override;
};

class QtMessageBox final : public MessageBoxSeam {
  public:
    void Show(QWidget* owner, MessageIcon icon, const QString& text) override;
    bool Ask(QWidget* owner, const QString& text) override;
    SaveChoice AskSave(QWidget* owner, const QString& text) override;
};

}  // namespace patchferry
