#include "app/ui/preferences_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "player/qt/wave_out_factory.h"
#include "stream/prompts.h"
#include "widgets/ui/tool_window.h"

namespace sw {

namespace {

constexpr const char* kNoDevices = "No devices available";
constexpr const char* kUnreadableDevice = "Unable to retrieve info";
// The mapper of the original platform: the sound server's default output.
constexpr const char* kDefaultDevice = "Default device";
constexpr const char* kPriorities[] = {"Idle", "Lowest", "Lower", "Normal", "Higher", "Highest"};
// Item 0 is real time, item 1 the classic count of frames within the second.
constexpr const char* kTimeCodeForms[] = {"real time", "frames within the second"};
// In the order of the "PieceTags" values.
constexpr const char* kPieceTags[] = {"None", "ID3v1.1", "ID3v2.4", "ID3v1.1 and ID3v2.4"};

QString Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The short hint is the tool tip; the status bar shows the same text as the long one.
template <typename Widget>
Widget* Named(Widget* widget, const char* objectName, const QString& accessibleName,
              const char* hint) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    if (hint != nullptr) {
        widget->setToolTip(QString::fromLatin1(hint));
        widget->setStatusTip(QString::fromLatin1(hint));
    }
    return widget;
}

QSpinBox* SpinEdit(int minimum, int maximum) {
    auto* spin = new QSpinBox;
    spin->setRange(minimum, maximum);
    return spin;
}

// A check box with its explanatory label beside it.
QWidget* WithNote(QCheckBox* box, const char* note) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    auto* label = new QLabel(QString::fromLatin1(note));
    label->setEnabled(false);
    layout->addWidget(label);
    layout->addStretch();
    return row;
}

}  // namespace

TPreferencesForm::TPreferencesForm(const std::vector<std::string>& deviceNames, Prompts& prompts,
                                   QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("PreferencesForm"));
    setWindowTitle(QStringLiteral("Preferences"));
    MakeCentredToolWindow(this);
    setAccessibleName(QStringLiteral("Preferences"));

    deviceList_ = Named(new QComboBox, "DeviceList", QStringLiteral("Audio device"),
                        "Select audio playing device");
    if (deviceNames.empty()) {
        deviceList_->addItem(QString::fromLatin1(kNoDevices));
    } else {
        deviceList_->addItem(QString::fromLatin1(kDefaultDevice));
        for (const std::string& name : deviceNames) {
            deviceList_->addItem(name.empty() ? QString::fromLatin1(kUnreadableDevice)
                                              : Text(name));
        }
    }
    cueBuffers_ = Named(SpinEdit(2, 32), "CueBuffersEdit", QStringLiteral("Number of cuebuffers"),
                        "Number of audio-buffers to be filled when cueing (Less is faster but "
                        "makes position determination harder)");
    playBuffers_ =
        Named(SpinEdit(2, 32), "PlayBuffersEdit", QStringLiteral("Number of playbuffers"),
              "Number of audio-buffers to be filled when playing (Less is faster, but can result "
              "in skippy playback)");
    jogSpeed_ = Named(SpinEdit(1, 500), "JogSpeedEdit", QStringLiteral("Max. jogshuttle speed"),
                      "Maximal number of frames skipped when using the jog-shuttle");
    priorityList_ = Named(new QComboBox, "PriorityList", QStringLiteral("Player priority"),
                          "Set player priority (advanced)");
    for (const char* priority : kPriorities) {
        priorityList_->addItem(QString::fromLatin1(priority));
    }
    // The player has no thread of its own, so its priority is kept but cannot be chosen.
    priorityList_->setEnabled(false);
    timeCodeList_ = Named(new QComboBox, "TimeCodeList", QStringLiteral("Time codes"),
                          "Show times as real time in hundredths, or as frames within the second");
    for (const char* form : kTimeCodeForms) {
        timeCodeList_->addItem(QString::fromLatin1(form));
    }
    keyboardBox_ =
        Named(new QCheckBox(QStringLiteral("Control cutter with keyboard")), "KeyboardBox",
              QStringLiteral("Control cutter with keyboard"), "Control cutter with keyboard");
    matchBox_ = Named(new QCheckBox(QStringLiteral("Check for matches while adding files")),
                      "MatchBox", QStringLiteral("Check for matches while adding files"),
                      "Check if a file added has the same name as one already in the project bin");
    indexFileBox_ = Named(new QCheckBox(QStringLiteral("Produce an MP3 indexfile at scan")),
                          "IndexFileBox", QStringLiteral("Produce an MP3 indexfile at scan"),
                          "Save an indexfile of a scanned MP3 to allow faster load-time the next "
                          "time the file is added to a project");
    tempFileBox_ = Named(new QCheckBox(QStringLiteral("Use disk for temporary data")),
                         "TempFileBox", QStringLiteral("Use disk for temporary data"),
                         "Use a diskfile for storing temporary data (Slower but safer with very "
                         "large MP3's)");
    cleanCutsBox_ =
        Named(new QCheckBox(QStringLiteral("Clean cuts (gapless header and lead-in)")),
              "CleanCutsBox", QStringLiteral("Clean cuts (gapless header and lead-in)"),
              "Exported MP3 pieces play exactly their frames from the first one, show their true "
              "length and join back gaplessly; off: frames are copied byte for byte");
    pieceTagsList_ =
        Named(new QComboBox, "PieceTagsList", QStringLiteral("Tags in exported pieces"),
              "Tags written into the MP3 files of an export to a folder: title, "
              "artist, album, track number and cover from the cue sheet and the "
              "source");
    for (const char* choice : kPieceTags) {
        pieceTagsList_->addItem(QString::fromLatin1(choice));
    }
    folderBtn_ = Named(new QPushButton(QStringLiteral("Folder")), "FolderBtn",
                       QStringLiteral("Temporary folder"), "Select temporary folder");
    folderLabel_ =
        Named(new QLabel, "FolderLabel", QStringLiteral("Temporary folder in use"), nullptr);
    folderLabel_->setTextFormat(Qt::PlainText);
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    revertBtn_ = Named(new QPushButton(QStringLiteral("Revert")), "RevertBtn",
                       QStringLiteral("Revert"), "Revert to previous settings");
    okBtn_ = Named(new QPushButton(QStringLiteral("Ok")), "OkBtn", QStringLiteral("Ok"),
                   "Save changes made");
    cancelBtn_ = Named(new QPushButton(QStringLiteral("Cancel")), "CancelBtn",
                       QStringLiteral("Cancel"), "Cancel changes made");

    auto* cutter = new QGroupBox(QStringLiteral("Cutter"));
    cutter->setObjectName(QStringLiteral("CutterGroup"));
    auto* cutterRows = new QFormLayout(cutter);
    cutterRows->addRow(QStringLiteral("Audio device:"), deviceList_);
    cutterRows->addRow(QStringLiteral("Number of cuebuffers:"), cueBuffers_);
    cutterRows->addRow(QStringLiteral("Number of playbuffers:"), playBuffers_);
    cutterRows->addRow(QStringLiteral("Max. jogshuttle speed:"), jogSpeed_);
    priorityLabel_ = new QLabel(QStringLiteral("Player priority:"));
    priorityLabel_->setBuddy(priorityList_);
    priorityLabel_->setEnabled(false);
    cutterRows->addRow(priorityLabel_, priorityList_);
    cutterRows->addRow(QStringLiteral("Time codes:"), timeCodeList_);
    cutterRows->addRow(keyboardBox_);

    auto* files = new QGroupBox(QStringLiteral("File options"));
    files->setObjectName(QStringLiteral("FileOptionsGroup"));
    auto* fileRows = new QVBoxLayout(files);
    fileRows->addWidget(WithNote(matchBox_, "(Not always handy with playlists)"));
    fileRows->addWidget(
        WithNote(indexFileBox_, "(Speeds-up load time when a MP3 is opened again)"));
    fileRows->addWidget(WithNote(tempFileBox_, "(safer with very large MP3's)"));
    fileRows->addWidget(cleanCutsBox_);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderBtn_);
    folderRow->addWidget(folderLabel_, 1);
    fileRows->addLayout(folderRow);
    auto* tagsRow = new QFormLayout;
    tagsRow->addRow(QStringLiteral("Tags in exported pieces:"), pieceTagsList_);
    fileRows->addLayout(tagsRow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(revertBtn_);
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    okBtn_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cutter);
    layout->addWidget(files);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto changed = [this] { Changed(); };
    connect(deviceList_, &QComboBox::currentIndexChanged, this, changed);
    connect(priorityList_, &QComboBox::currentIndexChanged, this, changed);
    connect(timeCodeList_, &QComboBox::currentIndexChanged, this, changed);
    connect(pieceTagsList_, &QComboBox::currentIndexChanged, this, changed);
    for (QSpinBox* spin : {cueBuffers_, playBuffers_, jogSpeed_}) {
        connect(spin, &QSpinBox::valueChanged, this, changed);
    }
    for (QCheckBox* box : {keyboardBox_, matchBox_, indexFileBox_, tempFileBox_, cleanCutsBox_}) {
        connect(box, &QCheckBox::toggled, this, changed);
    }
    connect(tempFileBox_, &QCheckBox::toggled, this,
            [this](bool checked) { TempFileBoxToggled(checked); });
    connect(folderBtn_, &QPushButton::clicked, this, [this] { FolderBtnClick(); });
    connect(revertBtn_, &QPushButton::clicked, this, [this] { RevertBtnClick(); });
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

void TPreferencesForm::Load(const TGlobalSettings& settings) {
    loaded_ = settings;
    loading_ = true;
    folder_ = settings.TempFolder;
    ShowFolder();
    keyboardBox_->setChecked(settings.CutterKBControl);
    matchBox_->setChecked(settings.CheckMatch);
    indexFileBox_->setChecked(settings.SaveIndexStream);
    tempFileBox_->setChecked(settings.IndexAsFileStream);
    cleanCutsBox_->setChecked(settings.CleanCuts);
    folderBtn_->setEnabled(settings.IndexAsFileStream);
    // A device the list does not hold (one that went away since the settings were loaded)
    // shows as the default device, which is what the player falls back to.
    const int device = settings.PlayerWaveOut + 1;
    deviceList_->setCurrentIndex(device >= 0 && device < deviceList_->count() ? device : 0);
    cueBuffers_->setValue(settings.CueBuffers);
    playBuffers_->setValue(settings.NumBuffers);
    jogSpeed_->setValue(settings.JogMaxSpeed);
    timeCodeList_->setCurrentIndex(settings.RealTimeCodes ? 0 : 1);
    pieceTagsList_->setCurrentIndex(settings.PieceTags & 3);
    priorityList_->setCurrentIndex(
        settings.PlayerPriority < priorityList_->count() ? settings.PlayerPriority : -1);
    loading_ = false;
    okBtn_->setEnabled(false);
    revertBtn_->setEnabled(false);
}

void TPreferencesForm::Store(TGlobalSettings& settings) const {
    settings.TempFolder = folder_;
    settings.CutterKBControl = keyboardBox_->isChecked();
    settings.CheckMatch = matchBox_->isChecked();
    settings.SaveIndexStream = indexFileBox_->isChecked();
    settings.IndexAsFileStream = tempFileBox_->isChecked();
    settings.CleanCuts = cleanCutsBox_->isChecked();
    // With "No devices available" the only item stands for the default device too.
    settings.PlayerWaveOut = deviceList_->currentIndex() - 1;
    settings.CueBuffers = cueBuffers_->value();
    settings.NumBuffers = playBuffers_->value();
    settings.JogMaxSpeed = jogSpeed_->value();
    settings.RealTimeCodes = timeCodeList_->currentIndex() == 0;
    settings.PieceTags = pieceTagsList_->currentIndex();
    // A time-critical priority has no item; it stays as stored rather than becoming another.
    if (priorityList_->currentIndex() >= 0) {
        settings.PlayerPriority = static_cast<uint8_t>(priorityList_->currentIndex());
    } else {
        settings.PlayerPriority = loaded_.PlayerPriority;
    }
}

void TPreferencesForm::Changed() {
    if (loading_) {
        return;
    }
    okBtn_->setEnabled(true);
    revertBtn_->setEnabled(true);
}

void TPreferencesForm::RevertBtnClick() {
    Load(loaded_);
}

void TPreferencesForm::TempFileBoxToggled(bool checked) {
    folderBtn_->setEnabled(checked);
}

void TPreferencesForm::FolderBtnClick() {
    Prompts::FolderDialog dialog;
    dialog.title = "Browse for Folder";
    dialog.text = "Select folder for temporary data";
    dialog.initialFolder = folder_;
    const std::string chosen = prompts_.Folder(dialog);
    if (chosen.empty()) {
        return;
    }
    folder_ = chosen;
    ShowFolder();
    Changed();
}

void TPreferencesForm::ShowFolder() {
    folderLabel_->setText(
        QString::fromLocal8Bit(folder_.data(), static_cast<qsizetype>(folder_.size())));
}

bool EditPreferences(const std::vector<std::string>& deviceNames, Prompts& prompts,
                     QWidget* parent) {
    TPreferencesForm form(deviceNames, prompts, parent);
    form.Load(GlobalSettings());
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.Store(GlobalSettings());
    return true;
}

bool EditPreferences(Prompts& prompts, QWidget* parent) {
    return EditPreferences(WaveOutDeviceNames(), prompts, parent);
}

}  // namespace sw
