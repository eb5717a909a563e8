#include "update/ui/update_info_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "update/update_check.h"
#include "update/update_texts.h"

namespace sw {

namespace {

// A screen reader reads a label's text as its name; the description says what the text is.
QLabel* Label(const char* name, const char* description) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    // The version lines carry the record's fields.
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleDescription(QString::fromLatin1(description));
    return label;
}

QPushButton* Button(const char* caption, const char* name, const char* hint) {
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(button->text());
    button->setToolTip(QString::fromLatin1(hint));
    button->setStatusTip(button->toolTip());
    return button;
}

}  // namespace

TUpdateInfoForm::TUpdateInfoForm(const TGlobalSettings& settings, Prompts& prompts,
                                 std::function<bool(const std::string&)> openAddress,
                                 QWidget* parent)
    : QDialog(parent, Qt::Tool),
      settings_(settings),
      prompts_(prompts),
      openAddress_(std::move(openAddress)) {
    setObjectName(QStringLiteral("UpdateInfoForm"));
    setWindowTitle(QString::fromLatin1(update_texts::kInfoCaption));
    setAccessibleName(windowTitle());

    FoundLbl = Label("FoundLbl", "Update found");
    QFont bold = FoundLbl->font();
    bold.setBold(true);
    FoundLbl->setFont(bold);
    CurrentVersionLbl = Label("CurrentVersionLbl", "Current version");
    LatestVersionLbl = Label("LatestVersionLbl", "Latest version");
    Label4 = Label("Label4", update_texts::kInformationLabel);
    Label4->setText(QString::fromLatin1(update_texts::kInformationLabel));
    Memo = new QPlainTextEdit;
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(QStringLiteral("Update information"));
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setMinimumSize(320, 120);
    Label4->setBuddy(Memo);
    GetNewBtn = Button(update_texts::kGetNew, "GetNewBtn", update_texts::kGetNewHint);
    OnlyUpdateBtn =
        Button(update_texts::kOnlyUpdate, "OnlyUpdateBtn", update_texts::kOnlyUpdateHint);
    GetNewBtn->setDefault(true);
    connect(GetNewBtn, &QPushButton::clicked, this, &TUpdateInfoForm::GetNewBtnClick);
    connect(OnlyUpdateBtn, &QPushButton::clicked, this, &TUpdateInfoForm::OnlyUpdateBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(GetNewBtn);
    buttons->addWidget(OnlyUpdateBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FoundLbl);
    layout->addWidget(CurrentVersionLbl);
    layout->addWidget(LatestVersionLbl);
    layout->addWidget(Label4);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);
}

void TUpdateInfoForm::UpdateControls(const UpdateRecord& record) {
    FoundLbl->setText(QString::fromLatin1(update_texts::kFound));
    CurrentVersionLbl->setText(QString::fromStdString(CurrentVersionText()));
    LatestVersionLbl->setText(QString::fromStdString(LatestVersionText(record)));
    Memo->setPlainText(QString::fromStdString(RecordTextForDisplay(record.Description)));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TUpdateInfoForm::GetNewBtnClick() {
    if (openAddress_ && openAddress_(settings_.DownloadURL)) {
        reject();
        return;
    }
    prompts_.Error(update_texts::kErrorCaption, update_texts::kUnableToOpenBrowser);
}

void TUpdateInfoForm::OnlyUpdateBtnClick() {
    accept();
}

}  // namespace sw
