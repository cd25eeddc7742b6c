#pragma once
// The two places where the window waits for a person: the Open dialog and the message boxes.
// CMainFrame talks to them through these interfaces, so tests can script the chosen files and
// capture what would have been shown.

#include <QString>
#include <QStringList>

class QWidget;

namespace patchferry {

class FileDialogSeam {
  public:
    virtual ~FileDialogSeam() = default;
    // The full paths of the chosen ".syx" files in the dialog's order; empty when cancelled.
    virtual QStringList ChooseSyxFiles(QWidget* owner) = 0;
};

enum class MessageIcon { Exclamation, Error };

class MessageBoxSeam {
  public:
    virtual ~MessageBoxSeam() = default;
    // A modal box with an OK button, captioned with the application title.
    virtual void Show(QWidget* owner, MessageIcon icon, const QString& text) = 0;
};

// The real ones: QFileDialog and QMessageBox.
class QtFileDialog final : public FileDialogSeam {
  public:
    QStringList ChooseSyxFiles(QWidget* owner) override;
};

class QtMessageBox final : public MessageBoxSeam {
  public:
    void Show(QWidget* owner, MessageIcon icon, const QString& text) override;
};

}  // namespace patchferry
