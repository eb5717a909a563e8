#include "project/ui/properties_form.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/file_properties_report.h"
#include "stream/cut_object.h"
#include "stream/taglib/source_tags_reader.h"

namespace sw {

namespace {

constexpr int kButtonPanelHeight = 41;

std::string ReportText(TCutObject& cut) {
    if (!cut.IndexStream) {
        // An index file's entry whose scan the user declined: a report would show frame lines
        // that nothing measured.
        return "Properties for '" + cut.Name + "':\n\nFilename: " + cut.FileName +
               "\n\nThis entry has no frame index: its file has not been scanned.\n"
               "Rescan it to see its frames and MPEG properties.\n";
    }
    const SourceTags tags = ReadSourceTags(cut.FileName);
    return FilePropertiesReport(cut, UserThousandsSeparator(), &tags);
}

}  // namespace

TPropertiesForm::TPropertiesForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PropertiesForm"));
    setWindowTitle(QStringLiteral("Properties"));
    setWindowFlag(Qt::Tool);
    setSizeGripEnabled(true);
    resize(400, 480);

    PropsMemo = new QPlainTextEdit(this);
    PropsMemo->setObjectName(QStringLiteral("PropsMemo"));
    PropsMemo->setAccessibleName(QStringLiteral("File properties"));
    PropsMemo->setReadOnly(true);
    PropsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PropsMemo->setLineWrapMode(QPlainTextEdit::NoWrap);

    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    ButtonPanel->setFixedHeight(kButtonPanelHeight);
    ButtonPanel->installEventFilter(this);

    OkBtn = new QPushButton(QStringLiteral("Ok"), ButtonPanel);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setAccessibleName(QStringLiteral("Ok"));
    OkBtn->setDefault(true);
    OkBtn->resize(75, 25);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PropsMemo);
    layout->addWidget(ButtonPanel);
}

void TPropertiesForm::ShowReport(TCutObject& cut) {
    PropsMemo->setPlainText(QString::fromStdString(ReportText(cut)));
}

bool TPropertiesForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ButtonPanel && event->type() == QEvent::Resize) {
        ButtonPanelResize();
    }
    return QDialog::eventFilter(watched, event);
}

void TPropertiesForm::ButtonPanelResize() {
    OkBtn->move(ButtonPanel->width() / 2 - OkBtn->width() / 2,
                (ButtonPanel->height() - OkBtn->height()) / 2);
}

void ShowFileProperties(TCutObject& cut, QWidget* parent) {
    TPropertiesForm form(parent);
    form.ShowReport(cut);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    form.exec();
}

}  // namespace sw
