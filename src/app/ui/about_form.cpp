#include "app/ui/about_form.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/qt/shell_opener.h"
#include "app/settings/global_settings.h"
#include "app/shell_address.h"
#include "app/ui/cutter_animation.h"
#include "stream/version_text.h"
#include "widgets/ui/link_label.h"
#include "widgets/ui/plain_tool_tip.h"

namespace sw {

namespace {

constexpr const char* kAboutText =
    "Slicewell cuts MPEG audio files frame by frame, without decoding or re-encoding them: "
    "every exported frame is the source's own, byte for byte.";

LinkLabel* Link(const char* caption, const char* objectName, const char* hint) {
    auto* link = new LinkLabel(QString::fromLatin1(caption));
    link->setObjectName(QString::fromLatin1(objectName));
    link->setAccessibleName(QString::fromLatin1(caption));
    if (hint != nullptr) {
        link->setToolTip(QString::fromLatin1(hint));
        link->setStatusTip(QString::fromLatin1(hint));
    }
    return link;
}

QLabel* Label(const QString& text, const char* objectName) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(const std::string& email, const std::string& homePage,
                       std::function<void()> checkForUpdates, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      mailto_(MailtoAddress(email)),
      homePage_(homePage),
      checkForUpdates_(std::move(checkForUpdates)) {
    setObjectName(QStringLiteral("AboutForm"));
    setAccessibleName(QStringLiteral("About Slicewell"));

    const VersionInfo version = ProgramVersion();
    auto* title = Label(QStringLiteral("Slicewell v%1.%2").arg(version.Major).arg(version.Minor),
                        "TitleLabel");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    buildLabel_ = Label(QString::fromStdString(BuildText()), "BuildLabel");
    auto* by = Label(QStringLiteral("by"), "ByLabel");
    emailLink_ = Link("The Harrowlight", "EmailLink", nullptr);
    // Only a plain address becomes a mail link; anything else in the setting opens nothing.
    emailLink_->setEnabled(!mailto_.empty());
    if (!mailto_.empty()) {
        // The address comes from the settings, which the update record may have written.
        emailLink_->setToolTip(PlainToolTip(QString::fromStdString(email)));
    }
    updatesLink_ = Link("Check the Slicewell-site for updates", "UpdatesLink",
                        "Check for updates (internet connection required)");
    updatesLink_->setEnabled(static_cast<bool>(checkForUpdates_));
    homePageLink_ = Link("Visit the Slicewell home-page", "HomePageLink",
                         "Visit the Slicewell home-page (internet connection required)");
    homePageLink_->setEnabled(IsOpenableAddress(homePage_));
    animation_ = new CutterAnimation;
    auto* text = new QTextEdit;
    text->setObjectName(QStringLiteral("AboutText"));
    text->setAccessibleName(QStringLiteral("About Slicewell"));
    text->setReadOnly(true);
    text->setPlainText(QString::fromLatin1(kAboutText));
    text->selectAll();
    text->setAlignment(Qt::AlignCenter);
    text->moveCursor(QTextCursor::Start);
    text->setFixedHeight(72);
    text->setFocusPolicy(Qt::ClickFocus);
    okBtn_ = new QPushButton(QStringLiteral("Ok"));
    okBtn_->setObjectName(QStringLiteral("OkBtn"));
    okBtn_->setAccessibleName(QStringLiteral("Ok"));
    okBtn_->setDefault(true);

    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("AboutPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(panel);
    auto* head = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->addWidget(title);
    titles->addWidget(buildLabel_);
    auto* byRow = new QHBoxLayout;
    byRow->addWidget(by);
    byRow->addWidget(emailLink_);
    byRow->addStretch();
    titles->addLayout(byRow);
    head->addLayout(titles, 1);
    head->addWidget(animation_, 0, Qt::AlignTop);
    panelLayout->addLayout(head);
    panelLayout->addWidget(updatesLink_);
    panelLayout->addWidget(homePageLink_);
    panelLayout->addWidget(text);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(okBtn_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(emailLink_, &LinkLabel::activated, this, [this] { OpenAddress(mailto_); });
    connect(homePageLink_, &LinkLabel::activated, this, [this] { OpenAddress(homePage_); });
    connect(updatesLink_, &LinkLabel::activated, this, [this] {
        if (checkForUpdates_) {
            checkForUpdates_();
        }
    });

    okBtn_->setFocus();
    animation_->Start();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void ShowAbout(std::function<void()> checkForUpdates, QWidget* parent) {
    const TGlobalSettings& settings = GlobalSettings();
    TAboutForm about(settings.Email, settings.SlicewellURL, std::move(checkForUpdates), parent);
    about.exec();
}

}  // namespace sw
