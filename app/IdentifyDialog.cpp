#include "app/IdentifyDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/QtChild.h"
#include "app/ReceiveDialog.h"

namespace patchferry {

IdentifyDialog::IdentifyDialog(synth::Conversation& conversation, QWidget* parent)
    : QDialog(parent), conversation_(conversation), poll_(QtChild<QTimer>(this)) {
    setWindowTitle(QStringLiteral("Identify Synth"));
    auto* prompt =
        QtChild<QLabel>(QStringLiteral("Asking who answers on %1...")
                            .arg(QString::fromStdString(conversation.Connection().Input().name)),
                        this);
    auto* busy = QtChild<QProgressBar>(this);
    busy->setRange(0, 0);
    auto* buttons = QtChild<QDialogButtonBox>(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = QtChild<QVBoxLayout>(this);
    layout->addWidget(prompt);
    layout->addWidget(busy);
    layout->addWidget(buttons);
    poll_->setInterval(ReceiveDialog::kPollMilliseconds);
    connect(poll_, &QTimer::timeout, this, &IdentifyDialog::OnPoll);
}

// The inquiry goes out once the dialog is up, so Cancel can stop it from the first moment.
void IdentifyDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) {
        return;
    }
    started_ = true;
    if (!conversation_.StartFind(error_)) {
        QTimer::singleShot(0, this, &QDialog::accept);
        return;
    }
    poll_->start();
}

void IdentifyDialog::done(int result) {
    poll_->stop();
    conversation_.Cancel();
    QDialog::done(result);
}

void IdentifyDialog::OnPoll() {
    if (!conversation_.Step(std::chrono::milliseconds(0), error_) || !conversation_.Running()) {
        poll_->stop();
        accept();
    }
}

}  // namespace patchferry
