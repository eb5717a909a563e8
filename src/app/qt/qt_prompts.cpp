#include "app/qt/qt_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

#include "app/file_filter.h"

namespace sw {

namespace {

QString FileName(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

Prompts::Answer ToAnswer(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Yes:
            return Prompts::Answer::Yes;
        case QMessageBox::No:
            return Prompts::Answer::No;
        case QMessageBox::Cancel:
            return Prompts::Answer::Cancel;
        default:
            return Prompts::Answer::Ok;
    }
}

void PrepareFileDialog(QFileDialog& box, const Prompts::FileDialog& dialog) {
    box.setWindowTitle(DisplayText(dialog.title));
    if (!dialog.initialFolder.empty()) {
        box.setDirectory(FileName(dialog.initialFolder));
    }
    const std::string filter = ConvertFileFilter(dialog.filter);
    if (!filter.empty()) {
        box.setNameFilter(QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())));
    }
    if (!dialog.defaultExtension.empty()) {
        box.setDefaultSuffix(FileName(dialog.defaultExtension));
    }
    if (!dialog.fileName.empty()) {
        box.selectFile(FileName(dialog.fileName));
    }
}

}  // namespace

// Messages keep the line breaks of the original program's texts ("...\r\nUsing default
// values"); a carriage return would show as a stray glyph in a Qt label.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const std::string& caption, const std::string& text,
                                           QMessageBox::StandardButtons buttons) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(icon);
    box->setWindowTitle(DisplayText(caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(DisplayText(text));
    box->setStandardButtons(buttons);
    return box;
}

QWidget* QtPrompts::Parent() const {
    if (parent_ != nullptr) {
        return parent_;
    }
    return QApplication::activeWindow();
}

QMessageBox::StandardButton QtPrompts::Show(QMessageBox::Icon icon, const std::string& caption,
                                            const std::string& text,
                                            QMessageBox::StandardButtons buttons) {
    const std::unique_ptr<QMessageBox> box = NewMessageBox(Parent(), icon, caption, text, buttons);
    box->exec();
    // Closing the box counts as its escape button: No in a yes/no box, Cancel where there is one.
    return box->standardButton(box->clickedButton());
}

void QtPrompts::Error(const std::string& caption, const std::string& text) {
    Show(QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

void QtPrompts::Information(const std::string& caption, const std::string& text) {
    Show(QMessageBox::Information, caption, text, QMessageBox::Ok);
}

void QtPrompts::Warning(const std::string& caption, const std::string& text) {
    Show(QMessageBox::Warning, caption, text, QMessageBox::Ok);
}

Prompts::Answer QtPrompts::YesNo(const std::string& caption, const std::string& text) {
    // Closing the box counts as No: the question then cancels its command.
    const auto button =
        Show(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Prompts::Answer QtPrompts::ErrorYesNo(const std::string& caption, const std::string& text) {
    const auto button =
        Show(QMessageBox::Critical, caption, text, QMessageBox::Yes | QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Prompts::Answer QtPrompts::YesNoCancel(const std::string& caption, const std::string& text) {
    const auto button = Show(QMessageBox::Question, caption, text,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    const Answer answer = ToAnswer(button);
    return answer == Answer::Ok ? Answer::Cancel : answer;
}

std::vector<std::string> QtPrompts::OpenFiles(const FileDialog& dialog) {
    QFileDialog box(Parent());
    PrepareFileDialog(box, dialog);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(dialog.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    std::vector<std::string> names;
    if (box.exec() != QDialog::Accepted) {
        return names;
    }
    for (const QString& name : box.selectedFiles()) {
        names.push_back(FileNameBytes(name));
    }
    return names;
}

std::string QtPrompts::SaveFile(const FileDialog& dialog) {
    QFileDialog box(Parent());
    PrepareFileDialog(box, dialog);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    // The chosen filter is the kind of file the user asked for: a name typed without an
    // extension takes the filter's, not the dialog's first one ("WAV Files" writing an MP3).
    QObject::connect(&box, &QFileDialog::filterSelected, &box, [&box, &dialog](const QString& f) {
        const std::string extension = FilterExtension(f.toStdString());
        box.setDefaultSuffix(FileName(extension.empty() ? dialog.defaultExtension : extension));
    });
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    return FileNameBytes(box.selectedFiles().constFirst());
}

std::string QtPrompts::Folder(FolderDialog& dialog) {
    QFileDialog box(Parent());
    box.setWindowTitle(DisplayText(dialog.title));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setOption(QFileDialog::ShowDirsOnly);
    box.setFileMode(QFileDialog::Directory);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    if (!dialog.initialFolder.empty()) {
        box.setDirectory(FileName(dialog.initialFolder));
    }

    // The non-native dialog lays itself out on a grid; the text and the check box go below it.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    QCheckBox* extra = nullptr;
    if (grid != nullptr) {
        const int columns = grid->columnCount();
        if (!dialog.text.empty()) {
            auto* label = new QLabel(DisplayText(dialog.text), &box);
            label->setObjectName(QStringLiteral("folderText"));
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            grid->addWidget(label, grid->rowCount(), 0, 1, columns);
        }
        if (!dialog.extraCheckBox.empty()) {
            extra = new QCheckBox(DisplayText(dialog.extraCheckBox), &box);
            extra->setObjectName(QStringLiteral("extraCheckBox"));
            extra->setChecked(dialog.extraChecked);
            grid->addWidget(extra, grid->rowCount(), 0, 1, columns);
        }
    }

    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    if (extra != nullptr) {
        dialog.extraChecked = extra->isChecked();
    }
    return FileNameBytes(box.selectedFiles().constFirst());
}

}  // namespace sw
