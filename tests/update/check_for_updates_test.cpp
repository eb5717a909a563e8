#include "update/ui/check_for_updates.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "local_http_server.h"
#include "scripted_prompts.h"
#include "update/ui/check_update_form.h"
#include "update/ui/check_web_animation.h"
#include "update/ui/update_info_form.h"
#include "update/update_check.h"

namespace sw::test {
namespace {

constexpr double kLastCheck = 45000.25;
constexpr double kNow = 45003.5;

// Runs action on the first modal window of type Form that comes up, from the event loop that
// window's exec runs. Polls, since the window does not exist yet when the test starts the check.
template <typename Form>
class OnModal {
  public:
    explicit OnModal(std::function<void(Form*)> action) : action_(std::move(action)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (auto* form = qobject_cast<Form*>(QApplication::activeModalWidget())) {
                poll_.stop();
                ++calls_;
                action_(form);
            }
        });
        poll_.start(5);
    }
    int Calls() const { return calls_; }

  private:
    std::function<void(Form*)> action_;
    QTimer poll_;
    int calls_ = 0;
};

std::string Record(double date, const std::string& message = "") {
    UpdateRecord record;
    record.Build = 612;
    record.Version = (4u << 16) | 3u;
    record.Flags = kVersionBeta;
    record.Date = date;
    record.Description = "Faster scans\r\nand a new cutter";
    record.Message = message;
    record.Email = "news@example.org";
    record.DownloadURL = "https://example.org/download";
    record.SlicewellURL = "https://example.org/";
    record.UpdatesURL = "http://example.org/update.dat";
    const std::vector<uint8_t> bytes = WriteUpdateRecord(record);
    return std::string(bytes.begin(), bytes.end());
}

class CheckForUpdatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running()) << "the test server did not start";
        settings.LastUpdateCheck = kLastCheck;
        settings.Email = "old@example.org";
        settings.DownloadURL = "https://old.example.org/download";
        settings.SlicewellURL = "https://old.example.org/";
        options.stallTimeout = 3000;
        options.now = [] { return kNow; };
        options.openAddress = [this](const std::string& address) {
            opened.push_back(address);
            return browserWorks;
        };
    }
    void TearDown() override { EXPECT_TRUE(prompts.Done()) << "an expected prompt never came"; }

    void Check(const std::string& name) {
        settings.UpdatesURL = server.Url(name);
        CheckForUpdates(settings, prompts, nullptr, options);
    }

    LocalHttpServer server;
    TGlobalSettings settings;
    ScriptedPrompts prompts;
    UpdateCheckOptions options;
    std::vector<std::string> opened;
    bool browserWorks = true;
};

// Would break if the window's texts, its days line or its request (the user agent from the
// compiled-in version) were wrong.
TEST_F(CheckForUpdatesTest, CheckWindowShowsItsTextsAndSendsTheProgramsRequest) {
    server.ServeBody("same", Record(kLastCheck));
    QString days;
    QString title;
    bool animating = false;
    OnModal<TCheckUpdateForm> look([&](TCheckUpdateForm* form) {
        days = form->LastCheckLbl->text();
        title = form->windowTitle();
        animating = form->Animation->Running();
        EXPECT_EQ(form->AbortBtn->text(), QStringLiteral("Abort"));
        EXPECT_FALSE(form->AbortBtn->accessibleName().isEmpty());
    });
    prompts.ExpectInformation();
    Check("same");
    EXPECT_EQ(look.Calls(), 1);
    EXPECT_EQ(title, QStringLiteral("Checking for updates..."));
    EXPECT_EQ(days, QStringLiteral("It has been 3 days since the last\nupdate-check of Slicewell"));
    EXPECT_TRUE(animating);
    EXPECT_EQ(server.LastRequest(),
              "GET /same HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: " +
                  UpdateUserAgent() +
                  "\r\n"
                  "Host: 127.0.0.1\r\n"
                  "\r\n");
    // A record of the same date is not newer.
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Sorry, no newer version available"});
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck);
}

// Would break if an older record were offered or took over the settings.
TEST_F(CheckForUpdatesTest, OlderRecordIsNoUpdate) {
    server.ServeBody("older", Record(kLastCheck - 10));
    prompts.ExpectInformation();
    Check("older");
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Sorry, no newer version available"});
    EXPECT_EQ(settings.Email, "old@example.org");
}

// Would break if a newer record's window showed the wrong texts, its addresses were not taken,
// or "Update version info" stored anything but the record's date.
TEST_F(CheckForUpdatesTest, NewerRecordShowsItsVersionAndUpdateVersionInfoStoresItsDate) {
    server.ServeBody("newer", Record(kLastCheck + 30.5));
    OnModal<TUpdateInfoForm> answer([&](TUpdateInfoForm* form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Update information"));
        EXPECT_EQ(form->FoundLbl->text(),
                  QStringLiteral("There is an updated Slicewell version available"));
        EXPECT_TRUE(form->FoundLbl->font().bold());
        EXPECT_EQ(form->CurrentVersionLbl->text().toStdString(), CurrentVersionText());
        EXPECT_EQ(form->LatestVersionLbl->text(),
                  QStringLiteral("Latest version: 4.3 build 612 Beta"));
        EXPECT_EQ(form->Label4->text(), QStringLiteral("Update information:"));
        EXPECT_EQ(form->Memo->toPlainText(), QStringLiteral("Faster scans\nand a new cutter"));
        EXPECT_TRUE(form->Memo->isReadOnly());
        EXPECT_EQ(form->GetNewBtn->text(), QStringLiteral("Get this version"));
        EXPECT_EQ(form->OnlyUpdateBtn->text(), QStringLiteral("Update version info"));
        for (QWidget* control : form->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus && !control->objectName().isEmpty()) {
                EXPECT_FALSE(control->accessibleName().isEmpty())
                    << control->objectName().toStdString();
            }
        }
        form->OnlyUpdateBtn->click();
    });
    Check("newer");
    EXPECT_EQ(answer.Calls(), 1);
    EXPECT_TRUE(prompts.History().empty());
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck + 30.5);
    EXPECT_EQ(settings.Email, "news@example.org");
    EXPECT_EQ(settings.DownloadURL, "https://example.org/download");
    EXPECT_EQ(settings.SlicewellURL, "https://example.org/");
    EXPECT_EQ(settings.UpdatesURL, "http://example.org/update.dat");
    EXPECT_TRUE(opened.empty());
}

// Would break if "Get this version" opened anything but the download page, stored the date,
// or closed the window when the browser could not be started.
TEST_F(CheckForUpdatesTest, GetThisVersionOpensTheDownloadPageAndLeavesTheDate) {
    server.ServeBody("newer", Record(kLastCheck + 1));
    browserWorks = false;
    OnModal<TUpdateInfoForm> answer([&](TUpdateInfoForm* form) {
        form->GetNewBtn->click();
        EXPECT_TRUE(form->isVisible()) << "the window closed although no browser started";
        browserWorks = true;
        form->GetNewBtn->click();
    });
    prompts.ExpectError();
    Check("newer");
    EXPECT_EQ(
        prompts.Texts(),
        std::vector<std::string>{"Unable to open browser\r\nPlease check your internet settings"});
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/download",
                                                "https://example.org/download"}));
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck);
}

// Would break if addresses from the network replaced the settings without being well-formed.
TEST_F(CheckForUpdatesTest, BadAddressesInEveryFieldKeepTheSettings) {
    UpdateRecord record;
    record.Date = kLastCheck + 2;
    record.Email = "a@example.org?bcc=all@example.org";
    record.DownloadURL = "file:///home/user/.bashrc";
    record.SlicewellURL = "javascript:alert(1)";
    record.UpdatesURL = "ftp://example.org/update.dat";  // no address the client can fetch
    const std::vector<uint8_t> bytes = WriteUpdateRecord(record);
    server.ServeBody("bad", std::string(bytes.begin(), bytes.end()));
    settings.UpdatesURL = server.Url("bad");
    const TGlobalSettings before = settings;
    OnModal<TUpdateInfoForm> answer([&](TUpdateInfoForm* form) { form->GetNewBtn->click(); });
    CheckForUpdates(settings, prompts, nullptr, options);
    EXPECT_EQ(settings.Email, before.Email);
    EXPECT_EQ(settings.DownloadURL, before.DownloadURL);
    EXPECT_EQ(settings.SlicewellURL, before.SlicewellURL);
    EXPECT_EQ(settings.UpdatesURL, before.UpdatesURL);
    EXPECT_EQ(opened, std::vector<std::string>{before.DownloadURL});
}

// Would break if a body that is no whole record were used, or its failure went unreported.
TEST_F(CheckForUpdatesTest, ShortAndEmptyBodiesWarnAndFindNothing) {
    for (const std::string& body : {Record(kLastCheck + 5).substr(0, 1819), std::string()}) {
        server.ServeBody("short", body);
        prompts.ExpectWarning();
        prompts.ExpectInformation();
        Check("short");
    }
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{
                  "Unable to retrieve update-info", "Sorry, no newer version available",
                  "Unable to retrieve update-info", "Sorry, no newer version available"}));
    EXPECT_EQ(prompts.History()[0].kind, ScriptedPrompts::Kind::Warning);
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck);
}

// Would break if bytes after the record changed what the check reads.
TEST_F(CheckForUpdatesTest, LongerBodyUsesItsFirstRecord) {
    server.ServeBody("long", Record(kLastCheck + 3) + std::string(3000, '\xFF'));
    OnModal<TUpdateInfoForm> answer([](TUpdateInfoForm* form) { form->OnlyUpdateBtn->click(); });
    Check("long");
    EXPECT_EQ(answer.Calls(), 1);
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck + 3);
}

// Would break if the maker's message were not offered after the check, shown when declined, or
// offered for an empty field.
TEST_F(CheckForUpdatesTest, MakersMessageIsOfferedAfterTheCheck) {
    server.ServeBody("message", Record(kLastCheck - 1, "Caf\xE9 opens\r\ntoday"));
    prompts.ExpectInformation();
    prompts.ExpectYesNo(Prompts::Answer::Yes);
    prompts.ExpectInformation();
    Check("message");
    prompts.ExpectInformation();
    prompts.ExpectYesNo(Prompts::Answer::No);
    Check("message");
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{
                                   "Sorry, no newer version available",
                                   "Do you want to read The Harrowlight's latest message ?",
                                   "Caf\xC3\xA9 opens\ntoday", "Sorry, no newer version available",
                                   "Do you want to read The Harrowlight's latest message ?"}));
}

// Would break if an error page were read as a record (its bytes offered as a message) or an
// error status went unreported.
TEST_F(CheckForUpdatesTest, ErrorStatusWarnsAndReadsNothingOfItsPage) {
    server.Serve("gone",
                 "HTTP/1.0 404 Not Found\r\n\r\n" + Record(kLastCheck + 9, "from the page"));
    prompts.ExpectWarning();
    Check("gone");
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Unable to retrieve update-info"});
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck);
    EXPECT_EQ(settings.Email, "old@example.org");
}

// Would break if a refused connection, a stalled server or one that drips a byte before every
// stall timeout hung the check or passed for success.
TEST_F(CheckForUpdatesTest, RefusedStalledAndDrippingServersEndTheCheckWithAWarning) {
    settings.UpdatesURL = "http://127.0.0.1:" + std::to_string(RefusingPort()) + "/x";
    prompts.ExpectWarning();
    CheckForUpdates(settings, prompts, nullptr, options);
    server.ServeSilence("silent");
    options.stallTimeout = 300;
    prompts.ExpectWarning();
    Check("silent");
    server.ServeDrip("drip", 40);
    options.deadline = 500;
    prompts.ExpectWarning();
    Check("drip");
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(3, "Unable to retrieve update-info"));
}

// Would break if "Abort" left the window open, or an abort were reported as a failed download.
TEST_F(CheckForUpdatesTest, AbortClosesTheWindowQuietly) {
    server.ServeSilence("silent");
    QStringList states;
    OnModal<TCheckUpdateForm> abort([&](TCheckUpdateForm* form) {
        const auto abortWhenWaiting = [form, &states] {
            states << form->ActionLbl->text();
            if (form->HTTPGet->CurrentState() == HttpGet::WaitingHeader) {
                form->AbortBtn->click();
            }
        };
        QObject::connect(form->HTTPGet, &HttpGet::StateChanged, form, abortWhenWaiting);
        abortWhenWaiting();
    });
    Check("silent");
    EXPECT_TRUE(prompts.History().empty());
    EXPECT_TRUE(states.contains(QStringLiteral("Waiting Header")));
    EXPECT_TRUE(states.contains(QStringLiteral("Aborting")));
    EXPECT_EQ(settings.LastUpdateCheck, kLastCheck);
}

}  // namespace
}  // namespace sw::test
