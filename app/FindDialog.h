#pragma once
// Asks for the name, or part of the name, of the programs to mark.

#include <QDialog>

class QLineEdit;

namespace patchferry {

inline constexpr int kFindNameMaxLength = 16;

class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(QWidget* parent = nullptr);
    QString Name() const;
    QLineEdit* NameField() const { return nameField_; }

  private:
    QLineEdit* nameField_;
};

}  // namespace patchferry
