#pragma once
// The second band of the top area: the MIDI output port, the channel and the "Midi Active" box.
// It holds the controls and knows what its port entries stand for; CMainFrame fills the channels,
// restores the choices and reacts to the box.

#include <QWidget>

#include "midi/MidiOutputService.h"

class QCheckBox;
class QComboBox;

namespace patchferry {

class MidiBar : public QWidget {
    Q_OBJECT
  public:
    explicit MidiBar(QWidget* parent = nullptr);

    // Offers the service's hardware MIDI ports, each entry carrying the port's address as user
    // data. A list that cannot be read leaves the port list empty; opening says why.
    void FillPortList(midi::MidiOutputService& service);
    // The port of the selected entry; empty when none is selected.
    midi::MidiPortInfo SelectedPort() const;

    // Entries carry the port's address (port list) or channel 0..15 (channel list) as user data.
    QComboBox* PortList() const { return portList_; }
    QComboBox* ChannelList() const { return channelList_; }
    QCheckBox* ActiveBox() const { return activeBox_; }

  private:
    QComboBox* portList_;
    QComboBox* channelList_;
    QCheckBox* activeBox_;
};

}  // namespace patchferry
