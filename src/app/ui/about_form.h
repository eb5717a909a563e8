#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace sw {

class CutterAnimation;
class LinkLabel;

// The about box: borderless, modal, centred. Its links go to the desktop through OpenAddress.
class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    // email and homePage are the settings' values; checkForUpdates starts the update check,
    // and its link stays disabled while there is none.
    TAboutForm(const std::string& email, const std::string& homePage,
               std::function<void()> checkForUpdates, QWidget* parent = nullptr);

    QLabel* BuildLabel() const { return buildLabel_; }
    LinkLabel* EmailLink() const { return emailLink_; }
    LinkLabel* UpdatesLink() const { return updatesLink_; }
    LinkLabel* HomePageLink() const { return homePageLink_; }
    CutterAnimation* Animation() const { return animation_; }
    QPushButton* OkButton() const { return okBtn_; }

  private:
    std::string mailto_;
    std::string homePage_;
    std::function<void()> checkForUpdates_;

    QLabel* buildLabel_ = nullptr;
    LinkLabel* emailLink_ = nullptr;
    LinkLabel* updatesLink_ = nullptr;
    LinkLabel* homePageLink_ = nullptr;
    CutterAnimation* animation_ = nullptr;
    QPushButton* okBtn_ = nullptr;
};

// The about box over the settings' "Email" and "SlicewellURL", shown modally.
void ShowAbout(std::function<void()> checkForUpdates = {}, QWidget* parent = nullptr);

}  // namespace sw
