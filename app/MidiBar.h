#pragma once
// The second band of the top area: the MIDI output port, the channel and the "Midi Active" box.
// It only holds the controls; CMainFrame fills them and reacts to the box.

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace patchferry {

class MidiBar : public QWidget {
    Q_OBJECT
  public:
    explicit MidiBar(QWidget* parent = nullptr);

    // Entries carry the device number (port list) or channel 0..15 (channel list) as user data.
    QComboBox* PortList() const { return portList_; }
    QComboBox* ChannelList() const { return channelList_; }
    QCheckBox* ActiveBox() const { return activeBox_; }

  private:
    QComboBox* portList_;
    QComboBox* channelList_;
    QCheckBox* activeBox_;
};

}  // namespace patchferry
