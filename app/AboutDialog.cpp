#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppTitle.h"
#include "app/Icons.h"

namespace patchferry {

QString VersionLine() {
    return AppTitle() + QStringLiteral(" " PATCHFERRY_VERSION_TEXT);
}

namespace {

QLabel* CentredLine(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* link = CentredLine(QStringLiteral("Carries MS2000 programs to the Radias"), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, this);
    buttons->setCenterButtons(true);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignLeft);
    layout->addWidget(CentredLine(VersionLine(), this));
    layout->addWidget(CentredLine(QStringLiteral("Written by the Patchferry developers"), this));
    layout->addWidget(rule);
    layout->addWidget(link);
    layout->addWidget(buttons);
}

}  // namespace patchferry
