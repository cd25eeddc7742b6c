#pragma once

#include <QDialog>

namespace patchferry {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace patchferry
