#include "app/ui/splash_form.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/product_picture.h"
#include "stream/version_text.h"

namespace sw {

namespace {

constexpr QSize kPictureSize(400, 240);

}  // namespace

TSplashForm::TSplashForm(int delayMs, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setAccessibleName(QStringLiteral("Slicewell 4"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProductPicture"));
    picture->setAccessibleName(QStringLiteral("Slicewell 4"));
    picture->setPixmap(ProductPicture(kPictureSize));

    buildLabel_ = new QLabel(QString::fromStdString(BuildText()), this);
    buildLabel_->setObjectName(QStringLiteral("BuildLabel"));
    buildLabel_->setAccessibleDescription(QStringLiteral("Build"));
    buildLabel_->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(picture);
    layout->addWidget(buildLabel_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }

    timer_.setSingleShot(true);
    timer_.setInterval(std::max(delayMs, 0));
    connect(&timer_, &QTimer::timeout, this, &TSplashForm::TimerTimer);
    timer_.start();
}

void TSplashForm::TimerTimer() {
    timer_.stop();
    accept();
}

void ShowSplash(int delayMs, QWidget* parent) {
    if (delayMs <= 0) {
        return;
    }
    TSplashForm splash(delayMs, parent);
    // Lets the windows created before it paint once, so the splash does not sit on blanks.
    QCoreApplication::processEvents();
    splash.exec();
}

}  // namespace sw
