#include "app/MidiBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace patchferry {
namespace {

QLabel* RightAlignedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QFrame* EtchedLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Drop-down lists without an edit field, kept in insertion order, not reached with Tab.
QComboBox* DropDownList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setFocusPolicy(Qt::ClickFocus);
    return list;
}

}  // namespace

MidiBar::MidiBar(QWidget* parent)
    : QWidget(parent),
      portList_(DropDownList(this)),
      channelList_(DropDownList(this)),
      activeBox_(new QCheckBox(QStringLiteral("Midi Active"), this)) {
    const QFontMetrics metrics(font());
    portList_->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('X')) * 22);
    portList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portList_->setMinimumContentsLength(20);
    channelList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The box's label stands to the left of the box.
    activeBox_->setLayoutDirection(Qt::RightToLeft);
    activeBox_->setFocusPolicy(Qt::ClickFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(RightAlignedLabel(QStringLiteral("Midi Port"), this));
    layout->addWidget(portList_);
    layout->addWidget(EtchedLine(this));
    layout->addWidget(RightAlignedLabel(QStringLiteral("Midi Chan"), this));
    layout->addWidget(channelList_);
    layout->addWidget(EtchedLine(this));
    layout->addWidget(activeBox_);
}

void MidiBar::FillPortList(midi::MidiOutputService& service) {
    std::vector<midi::MidiPortInfo> ports;
    static_cast<void>(service.ListPorts(ports));
    for (const midi::MidiPortInfo& port : ports) {
        if (port.hardwarePort) {
            portList_->addItem(QString::fromStdString(port.name),
                               QString::fromStdString(port.address));
        }
    }
}

midi::MidiPortInfo MidiBar::SelectedPort() const {
    if (portList_->currentIndex() < 0) {
        return {};
    }
    return {portList_->currentText().toStdString(), true,
            portList_->currentData().toString().toStdString()};
}

}  // namespace patchferry
