#include "app/qt/qt_prompts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <functional>

#include "when_shown.h"
#include "widgets/ui/plain_tool_tip.h"

namespace sw {
namespace {

using test::WhenModal;

void Press(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(which)->click();
}

void Touch(const QString& name) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(QtPrompts, ErrorBoxShowsUtf8TextWithLineBreakAndErrorIcon) {
    // Texts are UTF-8 bytes; taken as Latin-1 "Grüße" would show as "GrÃ¼ÃŸe", and the
    // original "\r\n" would show a stray glyph.
    QtPrompts prompts;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    prompts.Error("Error", "Error retrieving global settings...\r\nUsing default values Grüße");
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text, QString::fromUtf8("Error retrieving global settings...\nUsing default values "
                                      "Grüße"));
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtPrompts, MarkupInMessagesAndTipsShowsAsItsCharacters) {
    // Would break if a file name that looks like markup were rendered: an image naming /dev/zero
    // reads without end, one naming a FIFO hangs the box, a heading draws a false alarm.
    const std::string name = "<h1 style='color:red'>DISK FAILURE</h1><img src=\"nowhere\">&amp;";
    QtPrompts prompts;
    // Every kind of box, the questions that show an error's icon included.
    const std::vector<std::function<void(const std::string&)>> boxes = {
        [&](const std::string& text) { prompts.Error("Error", text); },
        [&](const std::string& text) { prompts.ErrorYesNo("Error", text); },
    };
    for (const auto& ask : boxes) {
        QString text;
        Qt::TextFormat boxFormat = Qt::AutoText;
        Qt::TextFormat labelFormat = Qt::AutoText;
        WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            boxFormat = box->textFormat();
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            labelFormat = label->textFormat();
            text = label->text();
            box->close();
        });
        ask("Unable to find file " + name);
        EXPECT_EQ(boxFormat, Qt::PlainText);
        EXPECT_EQ(labelFormat, Qt::PlainText);
        EXPECT_EQ(text.toStdString(), "Unable to find file " + name);
    }

    // A tip is rich text to Qt whatever it holds; the escaped one reads back as the characters,
    // spaces and line breaks included.
    const QString tip = QString::fromStdString(name) + QStringLiteral("  two\nlines");
    QTextDocument shown;
    shown.setHtml(PlainToolTip(tip));
    EXPECT_TRUE(Qt::mightBeRichText(PlainToolTip(tip)));
    EXPECT_EQ(shown.toPlainText(), tip);
    EXPECT_EQ(PlainToolTip(QString()), QString());
}

TEST(QtPrompts, QuestionsReturnTheButtonPressedAndClosingCancels) {
    // Closing a yes/no box must not read as Yes; closing a yes/no/cancel box is a Cancel.
    QtPrompts prompts;
    WhenModal([](QWidget* modal) { Press(modal, QMessageBox::Yes); });
    EXPECT_EQ(prompts.YesNo("Q", "Sure?"), Prompts::Answer::Yes);
    WhenModal([](QWidget* modal) { Press(modal, QMessageBox::No); });
    EXPECT_EQ(prompts.YesNo("Q", "Sure?"), Prompts::Answer::No);
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(prompts.YesNo("Q", "Sure?"), Prompts::Answer::No);

    WhenModal([](QWidget* modal) { Press(modal, QMessageBox::No); });
    EXPECT_EQ(prompts.YesNoCancel("Q", "Save?"), Prompts::Answer::No);
    WhenModal([](QWidget* modal) { Press(modal, QMessageBox::Cancel); });
    EXPECT_EQ(prompts.YesNoCancel("Q", "Save?"), Prompts::Answer::Cancel);
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(prompts.YesNoCancel("Q", "Save?"), Prompts::Answer::Cancel);

    // An error that asks ("Unable to find file ...") keeps the error icon with its Yes and No.
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* modal) {
        icon = qobject_cast<QMessageBox*>(modal)->icon();
        Press(modal, QMessageBox::Yes);
    });
    EXPECT_EQ(prompts.ErrorYesNo("Error", "Go on?"), Prompts::Answer::Yes);
    EXPECT_EQ(icon, QMessageBox::Critical);
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(prompts.ErrorYesNo("Error", "Go on?"), Prompts::Answer::No);
}

TEST(QtPrompts, OpenDialogReturnsEverySelectedFileAsUtf8Bytes) {
    QTemporaryDir dir;
    const QString first = dir.filePath(QString::fromUtf8("Grüße.mp3"));
    const QString second = dir.filePath("b.mp3");
    Touch(first);
    Touch(second);

    QtPrompts prompts;
    QStringList filters;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        filters = box->nameFilters();
        box->selectFile(QString::fromUtf8("\"Grüße.mp3\" \"b.mp3\""));
        static_cast<QDialog*>(box)->accept();
    });
    Prompts::FileDialog dialog;
    dialog.title = "Import";
    dialog.initialFolder = dir.path().toStdString();
    dialog.filter = "MPEG audio|*.mp3;*.mp2|All files|*.*";
    dialog.multiple = true;
    const std::vector<std::string> names = prompts.OpenFiles(dialog);

    EXPECT_EQ(filters, QStringList({"MPEG audio (*.mp3 *.mp2)", "All files (*.*)"}));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], dir.path().toStdString() + "/Grüße.mp3");
    EXPECT_EQ(names[1], dir.path().toStdString() + "/b.mp3");
}

TEST(QtPrompts, CancelledOpenDialogReturnsNothing) {
    QtPrompts prompts;
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_TRUE(prompts.OpenFiles(Prompts::FileDialog{}).empty());
}

TEST(QtPrompts, SaveDialogAddsTheDefaultExtension) {
    // Without it "cut" would be saved as a file the import cannot recognise.
    QTemporaryDir dir;
    QtPrompts prompts;
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->acceptMode(), QFileDialog::AcceptSave);
        box->selectFile("cut");
        static_cast<QDialog*>(box)->accept();
    });
    Prompts::FileDialog dialog;
    dialog.initialFolder = dir.path().toStdString();
    dialog.filter = "Cue files|*.m3q";
    dialog.defaultExtension = "m3q";
    EXPECT_EQ(prompts.SaveFile(dialog), dir.path().toStdString() + "/cut.m3q");
}

TEST(QtPrompts, TheChosenFilterDecidesTheExtensionOfAnUntypedOne) {
    // Choosing "WAV Files" for a proposed name without an extension wrote an MP3: the dialog's
    // first extension was added whatever the filter said.
    QTemporaryDir dir;
    QtPrompts prompts;
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        box->selectNameFilter("WAV Files (*.wav)");
        emit box->filterSelected("WAV Files (*.wav)");
        static_cast<QDialog*>(box)->accept();
    });
    Prompts::FileDialog dialog;
    dialog.initialFolder = dir.path().toStdString();
    dialog.fileName = "Cue 1 (3-9)";
    dialog.filter = "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";
    dialog.defaultExtension = "mp3";
    EXPECT_EQ(prompts.SaveFile(dialog), dir.path().toStdString() + "/Cue 1 (3-9).wav");
}

TEST(QtPrompts, FolderDialogShowsTextAndExtraCheckBoxAndReturnsItsState) {
    // The "Overwrite existing files" choice lives in the folder dialog; losing it would make
    // an export overwrite or skip against the user's choice.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    const QString target = dir.filePath("out");
    QtPrompts prompts;
    QString label;
    bool initiallyChecked = true;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->testOption(QFileDialog::DontUseNativeDialog));
        auto* text = box->findChild<QLabel*>("folderText");
        auto* check = box->findChild<QCheckBox*>("extraCheckBox");
        ASSERT_NE(text, nullptr);
        ASSERT_NE(check, nullptr);
        label = text->text() + "|" + check->text();
        initiallyChecked = check->isChecked();
        check->setChecked(true);
        box->selectFile(target);
        static_cast<QDialog*>(box)->accept();
    });
    Prompts::FolderDialog dialog;
    dialog.title = "Export cues";
    dialog.text = "Select the destination folder";
    dialog.initialFolder = dir.path().toStdString();
    dialog.extraCheckBox = "Overwrite existing files";
    dialog.extraChecked = false;
    EXPECT_EQ(prompts.Folder(dialog), target.toStdString());
    EXPECT_EQ(label, "Select the destination folder|Overwrite existing files");
    EXPECT_FALSE(initiallyChecked);
    EXPECT_TRUE(dialog.extraChecked);
}

TEST(QtPrompts, CancelledFolderDialogKeepsTheCheckBoxState) {
    QtPrompts prompts;
    WhenModal([](QWidget* modal) {
        modal->findChild<QCheckBox*>("extraCheckBox")->setChecked(false);
        qobject_cast<QDialog*>(modal)->reject();
    });
    Prompts::FolderDialog dialog;
    dialog.extraCheckBox = "Overwrite existing files";
    dialog.extraChecked = true;
    EXPECT_EQ(prompts.Folder(dialog), "");
    EXPECT_TRUE(dialog.extraChecked);
}

}  // namespace
}  // namespace sw
