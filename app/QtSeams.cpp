#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "app/AppTitle.h"
#include "app/Seams.h"

namespace patchferry {

QStringList QtFileDialog::ChooseSyxFiles(QWidget* owner) {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("SYX Files (*.syx)"), QStringLiteral("All Files (*.*)")});
    dialog.selectNameFilter(QStringLiteral("SYX Files (*.syx)"));
    dialog.setDefaultSuffix(QStringLiteral("syx"));
    dialog.setDirectory(QDir::currentPath());
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

void QtMessageBox::Show(QWidget* owner, MessageIcon icon, const QString& text) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    AppTitle(), text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace patchferry
