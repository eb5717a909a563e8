#include "cutter/ui/jump_form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QValidator>

#include "cutter/jump_fields.h"
#include "stream/file_errors.h"
#include "stream/time_code.h"

namespace sw {
namespace {

// Unfilled positions of the time field show as "0", so the text on screen is the text read.
constexpr char kTimeBlank = '0';
const QString kTimeMask = QStringLiteral("99:99:99.99;0");

const QSize kClientSize(185, 153);

// The frame field's last line of defence behind the key filter: a paste or a drop of anything
// but a number that fits a 32-bit frame is refused whole, so the number never wraps.
class FrameNumberValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return jump::FrameFieldValue(input.toStdString()) ? Acceptable : Invalid;
    }
};

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TJumpForm::TJumpForm(Prompts& prompts, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      prompts_(prompts),
      frameInfo_(jump::DefaultFrameInfo()) {
    setObjectName("JumpForm");
    setWindowTitle("Jump to position");
    setModal(true);

    JumpPosGroup = new QGroupBox("Enter position to jump to", this);
    JumpPosGroup->setObjectName("JumpPosGroup");
    JumpPosGroup->setAccessibleName("Enter position to jump to");
    TimeRadio = new QRadioButton("Time", JumpPosGroup);
    TimeRadio->setObjectName("TimeRadio");
    TimeRadio->setAccessibleName("Time");
    FrameRadio = new QRadioButton("Frame", JumpPosGroup);
    FrameRadio->setObjectName("FrameRadio");
    FrameRadio->setAccessibleName("Frame");
    JumpPosButtons = new QButtonGroup(this);
    JumpPosButtons->addButton(TimeRadio, TimeMode);
    JumpPosButtons->addButton(FrameRadio, FrameMode);
    connect(JumpPosButtons, &QButtonGroup::idClicked, this, &TJumpForm::JumpPosGroupClick);

    TimeEdit = new QLineEdit(JumpPosGroup);
    TimeEdit->setObjectName("TimeEdit");
    TimeEdit->setAccessibleName("Time code");
    TimeEdit->setInputMask(kTimeMask);
    TimeEdit->setText(QString::fromStdString(FrameToTimeCode(frameInfo_, 0)));
    connect(TimeEdit, &QLineEdit::textChanged, this, &TJumpForm::TimeEditChange);

    FrameEdit = new QLineEdit("0", JumpPosGroup);
    FrameEdit->setObjectName("FrameEdit");
    FrameEdit->setAccessibleName("Frame number");
    FrameEdit->setValidator(new FrameNumberValidator(FrameEdit));
    connect(FrameEdit, &QLineEdit::textChanged, this, &TJumpForm::FrameEditChange);

    OkBtn = new QPushButton("Ok", this);
    OkBtn->setObjectName("OkBtn");
    OkBtn->setAccessibleName("Ok");
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &TJumpForm::OkBtnClick);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setAccessibleName("Cancel");
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout(JumpPosGroup);
    fields->addWidget(TimeRadio, 0, 0);
    fields->addWidget(TimeEdit, 0, 1);
    fields->addWidget(FrameRadio, 1, 0);
    fields->addWidget(FrameEdit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(JumpPosGroup);
    layout->addLayout(buttons);
    // The designed client area, or more when this desktop's fonts need it.
    setFixedSize(sizeHint().expandedTo(kClientSize));

    const QList<QWidget*> controls{JumpPosGroup, TimeRadio, FrameRadio, TimeEdit,
                                   FrameEdit,    OkBtn,     CancelBtn};
    for (QWidget* control : controls) {
        control->installEventFilter(this);
    }

    SetRealTime(false);
    SetMode(FrameMode);
    SetFrame(0);
}

TJumpForm::~TJumpForm() = default;

void TJumpForm::SetRealTime(bool realTime) {
    realTime_ = realTime;
    TimeEdit->setAccessibleDescription(
        realTime ? QStringLiteral("Hours, minutes, seconds and hundredths: hh:mm:ss.cc")
                 : QStringLiteral("Hours, minutes, seconds and frames: hh:mm:ss.ff"));
}

void TJumpForm::SetFrame(int32_t frame) {
    const QString text = QString::number(frame < 0 ? 0 : frame);
    if (FrameEdit->text() == text) {
        // No change signal for an equal text, but the time field may still need the new
        // frame description.
        FrameEditChange();
    } else {
        FrameEdit->setText(text);
    }
}

void TJumpForm::SetMode(Mode mode) {
    mode_ = mode;
    TimeEdit->setEnabled(mode == TimeMode);
    FrameEdit->setEnabled(mode == FrameMode);
    (mode == TimeMode ? TimeRadio : FrameRadio)->setChecked(true);
    (mode == TimeMode ? TimeEdit : FrameEdit)->setFocus();
}

void TJumpForm::JumpPosGroupClick(int index) {
    SetMode(index == TimeMode ? TimeMode : FrameMode);
}

void TJumpForm::FrameEditChange() {
    const std::string text = FrameEdit->text().toStdString();
    const std::optional<int32_t> value = jump::FrameFieldValue(text);
    frame_ = value.value_or(0);
    // An empty field is frame 0 but not a number to show as a time.
    if (mode_ != FrameMode || !value || text.empty()) {
        return;
    }
    const QString code = QString::fromStdString(jump::TimeFieldCode(frameInfo_, frame_, realTime_));
    if (QString::fromStdString(TimeText()) != code) {
        TimeEdit->setText(code);
    }
}

void TJumpForm::TimeEditChange() {
    if (mode_ == TimeMode) {
        ConvertTimeField();
    }
}

void TJumpForm::OkBtnClick() {
    if (mode_ == TimeMode && !ConvertTimeField()) {
        return;
    }
    accept();
}

std::string TJumpForm::TimeText() const {
    return jump::TimeFieldText(TimeEdit->displayText().toStdString(), kTimeBlank);
}

bool TJumpForm::ConvertTimeField() {
    int32_t frame;
    try {
        frame = jump::TimeFieldFrame(frameInfo_, TimeText(), realTime_);
    } catch (const ConversionError& error) {
        prompts_.Error("Error", error.what());
        return false;
    }
    FrameEdit->setText(QString::number(frame));
    return true;
}

void TJumpForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SetMode(FrameMode);
    FrameEdit->selectAll();
    if (QScreen* shown = screen()) {
        move(shown->availableGeometry().center() - rect().center());
    }
}

bool TJumpForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key->key())) {
        OkBtnClick();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    // Typed characters only: editing keys carry no printable text and shortcuts (copy, paste,
    // undo) a modifier; both pass, and the validator judges what a paste brings.
    const bool shortcut =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (watched == FrameEdit && !shortcut) {
        const QString text = key->text();
        if (!text.isEmpty() && text[0].isPrint() && !jump::FrameFieldTakes(text[0].unicode())) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TJumpForm::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event->key())) {
        OkBtnClick();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ExecuteJump(QWidget* parent, Prompts& prompts, const TFrameInfo& info, bool realTime,
                 int32_t& frame) {
    TJumpForm form(prompts, parent);
    form.SetFrameInfo(info);
    form.SetRealTime(realTime);
    form.SetFrame(frame);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    frame = form.Frame();
    return true;
}

}  // namespace sw
