#include "app/MainFrame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>

#include "app/AboutDialog.h"
#include "app/AppTitle.h"
#include "app/FindDialog.h"
#include "app/Icons.h"
#include "app/ListColours.h"
#include "app/MidiBar.h"
#include "app/Seams.h"
#include "app/WaitCursor.h"
#include "app/list/ListNotifyEvent.h"
#include "app/list/ProgramListView.h"
#include "app/list/VirtualKey.h"
#include "library/NameMatch.h"

namespace patchferry {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t IndexOf(CommandId id) {
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        if (kCommands[i].id == id) {
            return i;
        }
    }
    return kCommands.size();
}

// Sample texts that size the panes and the columns: a pane or column is as wide as its sample.
constexpr std::string_view kCountPaneSample = "9999";
constexpr std::string_view kMidiPaneSample = "MIDI-OFF";

QLabel* Pane(QWidget* parent, std::string_view sample) {
    auto* pane = new QLabel(parent);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    const int margin = 2 * pane->frameWidth() + 8;
    pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(ToQString(sample)) + margin);
    return pane;
}

void SetTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}

}  // namespace

CMainFrame::CMainFrame(QSettings& settings, FileDialogSeam& fileDialog, MessageBoxSeam& messageBox,
                       midi::MidiService& midiService, QWidget* parent)
    : QMainWindow(parent),
      settingsStore_(settings),
      settings_(settings),
      fileDialog_(fileDialog),
      messageBox_(messageBox),
      midi_(midiService) {
    setWindowTitle(AppTitle());
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);  // files dropped on the window are opened like chosen ones
    RestoreRect();

    programList_ = new ProgramListView(this);
    setCentralWidget(programList_);
    programList_->installEventFilter(this);

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    FillMidiBar();
    RestoreCurrentFolder();
    SetUpProgramList();

    programList_->setFocus();
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::RefreshCommandUi);
    RefreshCommandUi();
}

CMainFrame::~CMainFrame() {
    midi_.Output().Close();
}

void CMainFrame::CreateActions() {
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        const CommandInfo& info = kCommands[i];
        auto* action = new QAction(ToQString(MenuLabel(info)), this);
        action->setData(static_cast<int>(info.id));
        QList<QKeySequence> keys;
        if (!MenuShortcut(info).empty()) {
            keys.append(QKeySequence(ToQString(MenuShortcut(info)), QKeySequence::PortableText));
        }
        for (const auto key : info.extraKeys) {
            if (!key.empty()) {
                keys.append(QKeySequence(ToQString(key), QKeySequence::PortableText));
            }
        }
        action->setShortcuts(keys);
        action->setStatusTip(ToQString(StatusPrompt(info)));
        action->setToolTip(ToQString(ToolTipPrompt(info)));
        // Keys work whichever child has the focus; nothing else in the window may take them.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        actions_[i] = action;
    }

    connect(Action(CommandId::Open), &QAction::triggered, this, &CMainFrame::OpenSyxFiles);
    connect(Action(CommandId::Exit), &QAction::triggered, this, &CMainFrame::close);
    connect(Action(CommandId::Find), &QAction::triggered, this, &CMainFrame::OnFind);
    connect(Action(CommandId::Audition), &QAction::triggered, this, &CMainFrame::OnAudition);
    connect(Action(CommandId::About), &QAction::triggered, this, &CMainFrame::OnAbout);
    connect(Action(CommandId::Receive), &QAction::triggered, this, &CMainFrame::OnReceive);
    connect(Action(CommandId::SaveReceived), &QAction::triggered, this,
            &CMainFrame::OnSaveReceived);
    connect(Action(CommandId::Identify), &QAction::triggered, this, &CMainFrame::OnIdentify);
    connect(Action(CommandId::WriteToRadias), &QAction::triggered, this,
            &CMainFrame::OnWriteToRadias);
    connect(Action(CommandId::RestoreRadias), &QAction::triggered, this,
            &CMainFrame::OnRestoreRadias);
    Action(CommandId::ViewToolbar)->setCheckable(true);
    Action(CommandId::ViewStatusBar)->setCheckable(true);
    connect(Action(CommandId::ViewToolbar), &QAction::triggered, this, [this] {
        toolBar_->setHidden(!toolBar_->isHidden());
        RefreshCommandUi();
    });
    connect(Action(CommandId::ViewStatusBar), &QAction::triggered, this, [this] {
        statusBar_->setHidden(!statusBar_->isHidden());
        RefreshCommandUi();
    });
    // Random Program, Save Last Random and the edit keys are accepted and do nothing.
}

QAction* CMainFrame::Action(CommandId id) const {
    const std::size_t index = IndexOf(id);
    return index < actions_.size() ? actions_[index] : nullptr;
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(Action(CommandId::Open));
    file->addAction(Action(CommandId::Receive));
    file->addAction(Action(CommandId::SaveReceived));
    file->addSeparator();
    file->addAction(Action(CommandId::Exit));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(Action(CommandId::ViewToolbar));
    view->addAction(Action(CommandId::ViewStatusBar));
    QMenu* program = menuBar()->addMenu(QStringLiteral("&Program"));
    program->addAction(Action(CommandId::Find));
    program->addAction(Action(CommandId::Audition));
    program->addAction(Action(CommandId::Identify));
    program->addSeparator();
    program->addAction(Action(CommandId::WriteToRadias));
    program->addAction(Action(CommandId::RestoreRadias));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(CommandId::About));
}

// The two bands of the top area: the toolbar and the MIDI bar, each movable by its handle.
void CMainFrame::CreateToolBars() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(false);  // the bands move within the top area, as rebar bands do
    Action(CommandId::Open)->setIcon(OpenIcon());
    Action(CommandId::Find)->setIcon(FindIcon());
    Action(CommandId::Audition)->setIcon(AuditionIcon());
    Action(CommandId::About)->setIcon(AboutIcon());
    for (const CommandId id :
         {CommandId::Open, CommandId::Find, CommandId::Audition, CommandId::About}) {
        toolBar_->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);

    midiBand_ = new QToolBar(QStringLiteral("MIDI"), this);
    midiBand_->setObjectName(QStringLiteral("midibar"));
    midiBand_->setMovable(true);
    midiBand_->setFloatable(false);
    midiBar_ = new MidiBar(midiBand_);
    midiBand_->addWidget(midiBar_);
    addToolBar(Qt::TopToolBarArea, midiBand_);

    portList_ = midiBar_->PortList();
    channelList_ = midiBar_->ChannelList();
    activeBox_ = midiBar_->ActiveBox();
    connect(activeBox_, &QCheckBox::clicked, this, &CMainFrame::OnMidiActive);
}

void CMainFrame::CreateStatusBar() {
    statusBar_ = statusBar();
    messagePane_ = new QLabel(QStringLiteral("Ready"), statusBar_);
    countPane_ = Pane(statusBar_, kCountPaneSample);
    midiStatePane_ = Pane(statusBar_, kMidiPaneSample);
    statusBar_->addWidget(messagePane_, 1);
    statusBar_->addPermanentWidget(countPane_);
    statusBar_->addPermanentWidget(midiStatePane_);
}

// Only hardware ports are offered, each entry keeping its address; the saved port is found by
// name without regard to case, the saved channel by index.
void CMainFrame::FillMidiBar() {
    midiBar_->FillPortList(midi_.Output().Service());
    for (int channel = 0; channel < 16; ++channel) {
        channelList_->addItem(QString::asprintf("%02d", channel + 1), channel);
    }

    const QString savedPort = settings_.ReadText(Setting::MidiPort);
    int portIndex = portList_->count() > 0 ? 0 : -1;
    for (int i = 0; i < portList_->count(); ++i) {
        if (portList_->itemText(i).compare(savedPort, Qt::CaseInsensitive) == 0) {
            portIndex = i;
            break;
        }
    }
    portList_->setCurrentIndex(portIndex);

    const int savedChannel = settings_.ReadInteger(Setting::MidiChan);
    channelList_->setCurrentIndex(savedChannel >= 0 && savedChannel < 16 ? savedChannel : -1);
}

// A saved folder that no longer exists is ignored: the folder stays the one the program started in.
void CMainFrame::RestoreCurrentFolder() {
    const QString folder = settings_.ReadText(Setting::AppCurdir);
    if (!folder.isEmpty()) {
        QDir::setCurrent(folder);
    }
}

void CMainFrame::SetUpProgramList() {
    programList_->SetColours(ListTextColour(), ListBackgroundColour());
    programList_->AddColumn(QStringLiteral("File"), 1, 0);
    programList_->AddColumn(QStringLiteral("Bank"), 1,
                            programList_->TextWidth(QStringLiteral("Bank")));
    programList_->AddColumn(QStringLiteral("#"), 1,
                            programList_->TextWidth(QStringLiteral("128  ")));
    programList_->AddColumn(QStringLiteral("Program"), 0,
                            programList_->TextWidth(QStringLiteral("XXXXXXXX|XXXXXX")));
    programList_->AddColumn(QStringLiteral("Category"), 0,
                            programList_->TextWidth(QString(15, QLatin1Char('X'))));
    programList_->AddColumn(QStringLiteral("Conversion Info"), 0,
                            programList_->TextWidth(QString(51, QLatin1Char('X'))));
}

void CMainFrame::RefreshCommandUi() {
    const bool hasPrograms = !library_.Empty();
    // While programs are written into the Radias, its interface is theirs alone.
    const bool writing = WritingToRadias();
    Action(CommandId::Find)->setEnabled(hasPrograms);
    Action(CommandId::Audition)->setEnabled(hasPrograms && midi_.Output().IsOpen() && !writing);
    Action(CommandId::SaveReceived)->setEnabled(!received_.empty());
    Action(CommandId::Identify)->setEnabled(portList_->currentIndex() >= 0 && !writing);
    Action(CommandId::Receive)->setEnabled(!writing);
    Action(CommandId::WriteToRadias)->setEnabled(hasPrograms && !writing);
    Action(CommandId::RestoreRadias)->setEnabled(!writing);
    activeBox_->setEnabled(!writing);
    Action(CommandId::ViewToolbar)->setChecked(!toolBar_->isHidden());
    Action(CommandId::ViewStatusBar)->setChecked(!statusBar_->isHidden());
    SetTextIfChanged(countPane_, QString::asprintf("%04d", library_.Count()));
    SetTextIfChanged(midiStatePane_, midi_.Output().IsOpen() ? QStringLiteral("MIDI-ON")
                                                             : QStringLiteral("MIDI-OFF"));
}

void CMainFrame::ShowFileInTitle(const QString& fileName) {
    setWindowTitle(fileName.isEmpty() ? AppTitle()
                                      : QStringLiteral("%1 - [%2]").arg(AppTitle(), fileName));
}

void CMainFrame::OnFind() {
    FindDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // Program names are single bytes (shown as Latin-1), so the typed text is matched as Latin-1.
    const QByteArray typed = dialog.Name().toLatin1();
    findText_ =
        ToLowerAscii(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    const WaitCursor wait;
    FillProgramList();
}

void CMainFrame::OnAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::OnMidiActive() {
    EndAuditionListening();  // its input is free for what comes
    if (activeBox_->isChecked()) {
        const midi::MidiError result = midi_.Output().Open(midiBar_->SelectedPort());
        if (result.Ok()) {
            channelList_->setEnabled(false);
            portList_->setEnabled(false);
        } else {
            // The box shows whether the port is open, so a refused open takes the check away.
            activeBox_->setChecked(false);
            messageBox_.Show(this, MessageIcon::Error,
                             QStringLiteral("Error: Failed to open the specified MIDI port. ") +
                                 QString::fromStdString(result.Text()));
        }
    } else {
        midi_.Output().Close();
        channelList_->setEnabled(true);
        portList_->setEnabled(true);
    }
    RefreshCommandUi();
}

int CMainFrame::SelectedChannel() const {
    return channelList_->currentIndex() < 0 ? -1 : channelList_->currentData().toInt();
}

void CMainFrame::customEvent(QEvent* event) {
    if (event->type() == ListNotifyEvent::EventType()) {
        const auto* notify = static_cast<ListNotifyEvent*>(event);
        OnListNotify(notify->Code(), notify->Param());
        return;
    }
    QMainWindow::customEvent(event);
}

void CMainFrame::OnListNotify(int code, int param) {
    switch (static_cast<ListNotifyCode>(code)) {
        case ListNotifyCode::DoubleClick:
            OnAudition();
            break;
        case ListNotifyCode::HeaderClick:
            SortListByColumn(param);
            break;
        case ListNotifyCode::KeyDown:
            if (param == vk::kReturn) {
                OnAudition();
            }
            break;
        default:
            break;
    }
}

void CMainFrame::SortListByColumn(int column) {
    const WaitCursor wait;
    library_.SortByColumn(column);
    FillProgramList();
}

// The native window's events are watched for its first exposure (see RestoreRect). Ctrl+A belongs
// to Audition: the list never selects all rows with it, also while Audition is disabled.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle()) {
        OnNativeWindowEvent(*event);
    }
    if (watched == programList_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::SelectAll)) {
            // A shortcut override left unaccepted lets the Audition key go to its action.
            if (event->type() == QEvent::KeyPress) {
                key->accept();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Whenever the window gets the keyboard focus back, the list has it: arrows move in the list and
// Enter auditions, whichever control had the focus when the user switched away.
void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        programList_->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!shutDown_ && WritingToRadias()) {
        messageBox_.Show(this, MessageIcon::Exclamation,
                         QStringLiteral("Programs are being written into the Radias. Let them "
                                        "finish, or Cancel the run, before you quit."));
        event->ignore();
        return;
    }
    if (!shutDown_ && !MayLetReceivedGo()) {
        event->ignore();
        return;
    }
    if (!shutDown_) {
        shutDown_ = true;
        SaveSettings();
    }
    event->accept();
}

// The port is closed before anything is written; the rectangle is kept from the last run when the
// window is minimized.
void CMainFrame::SaveSettings() {
    if (midi_.Output().IsOpen()) {
        midi_.Output().Close();
    }
    SaveRect();
    settings_.Write(Setting::MidiChan, channelList_->currentIndex());
    if (portList_->currentIndex() >= 0) {
        settings_.Write(Setting::MidiPort, portList_->currentText());
    }
    const QString folder = QDir::currentPath();
    if (!folder.isEmpty()) {
        settings_.Write(Setting::AppCurdir, QDir::toNativeSeparators(folder));
    }
    settingsStore_.sync();
}

}  // namespace patchferry
