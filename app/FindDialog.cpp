#include "app/FindDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace patchferry {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent), nameField_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Find"));
    nameField_->setMaxLength(kFindNameMaxLength);

    auto* prompt = new QLabel(
        QStringLiteral("Enter the name or part of the name of the Program to find."), this);
    auto* nameLabel = new QLabel(QStringLiteral("&Name"), this);
    nameLabel->setBuddy(nameField_);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0, 1, 2);
    layout->addWidget(nameLabel, 1, 0);
    layout->addWidget(nameField_, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1);
    nameField_->setFocus();
}

QString FindDialog::Name() const {
    return nameField_->text();
}

}  // namespace patchferry
