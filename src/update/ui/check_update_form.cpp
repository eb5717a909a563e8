#include "update/ui/check_update_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>

#include "app/date_time.h"
#include "update/http/http_get.h"
#include "update/ui/check_web_animation.h"
#include "update/update_check.h"
#include "update/update_texts.h"

namespace sw {

namespace {

// A screen reader reads a label's text as its name; the description says what the text is.
QLabel* CentredLabel(const QString& text, const char* name, const QString& description) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAccessibleDescription(description);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TCheckUpdateForm::TCheckUpdateForm(const TGlobalSettings& settings, Prompts& prompts,
                                   const UpdateCheckOptions& options, QWidget* parent)
    : QDialog(parent, Qt::Tool), settings_(settings), prompts_(prompts) {
    setObjectName(QStringLiteral("CheckUpdateForm"));
    setWindowTitle(QString::fromLatin1(update_texts::kCheckCaption));
    setAccessibleName(windowTitle());

    const double now = options.now ? options.now() : NowAsDays();
    QString lastCheck = QString::fromStdString(LastCheckText(now, settings_.LastUpdateCheck));
    lastCheck.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    LastCheckLbl = CentredLabel(lastCheck, "LastCheckLbl", QStringLiteral("Last update check"));
    Animation = new CheckWebAnimation;
    ActionLbl = CentredLabel(QString::fromLatin1(update_texts::kCheckingWeb), "ActionLbl",
                             QStringLiteral("Update check state"));
    AbortBtn = new QPushButton(QString::fromLatin1(update_texts::kAbort));
    AbortBtn->setObjectName(QStringLiteral("AbortBtn"));
    AbortBtn->setAccessibleName(AbortBtn->text());
    AbortBtn->setDefault(true);

    HTTPGet = new HttpGet(this);
    HTTPGet->setObjectName(QStringLiteral("HTTPGet"));
    HTTPGet->SetStallTimeout(options.stallTimeout);
    HTTPGet->SetDeadline(options.deadline);
    connect(HTTPGet, &HttpGet::StateChanged, this, &TCheckUpdateForm::HTTPGetStateChange);
    connect(HTTPGet, &HttpGet::RequestDone, this, &TCheckUpdateForm::HTTPGetRequestDone);
    connect(AbortBtn, &QPushButton::clicked, this, &TCheckUpdateForm::AbortBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LastCheckLbl);
    layout->addWidget(Animation, 0, Qt::AlignHCenter);
    layout->addWidget(ActionLbl);
    layout->addWidget(AbortBtn, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TCheckUpdateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) {
        return;
    }
    started_ = true;
    Animation->Start();
    HTTPGet->Get(settings_.UpdatesURL, UpdateUserAgent());
}

void TCheckUpdateForm::HTTPGetStateChange(int state) {
    ActionLbl->setText(QString::fromStdString(HttpStateText(state)));
}

void TCheckUpdateForm::HTTPGetRequestDone(int error) {
    Animation->Stop();
    // The box says only that the record could not be had; why (a refused certificate) goes
    // where whoever looks into it will look.
    if (!HTTPGet->FailureText().empty()) {
        std::fprintf(stderr, "slicewell: update check: %s\n", HTTPGet->FailureText().c_str());
    }
    const bool ok = (error & 0xFFFF) == 0;
    const std::string& body = HTTPGet->Body();
    // A failed request's body is an error page, never a record.
    const std::optional<UpdateRecord> record =
        ok ? ReadUpdateRecord(reinterpret_cast<const uint8_t*>(body.data()), body.size())
           : std::nullopt;
    record_ = record.value_or(UpdateRecord{});
    if (!record && error != HttpGet::Aborted) {
        hide();
        prompts_.Warning(update_texts::kWarningCaption, update_texts::kUnableToRetrieve);
    }
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void TCheckUpdateForm::AbortBtnClick() {
    HTTPGet->Abort();
}

void TCheckUpdateForm::reject() {
    if (HTTPGet->Running()) {
        AbortBtnClick();
        return;
    }
    QDialog::reject();
}

}  // namespace sw
