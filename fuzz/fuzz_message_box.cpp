// Any bytes as a file name reach a message box as the same characters: the box the prompts build
// shows the message as plain text, and its label shows exactly the message's characters (UTF-8
// decoded, CR LF as a line break), whatever markup they look like. Laying the label out reads
// nothing: as rich text, <img src="/dev/zero"> or an image naming a FIFO would never return.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <cstdint>
#include <string>

#include "app/qt/qt_prompts.h"
#include "fuzz_check.h"

namespace {

using sw::fuzz::Check;

// What the user should read for text, worked out here rather than taken from the prompts.
QString Characters(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

}  // namespace

// Fontconfig keeps what Qt asks it about the fonts for new characters in caches it never frees;
// that is no leak of ours, and LeakSanitizer would stop every run at the first new script.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_message_box";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string fileName(reinterpret_cast<const char*>(data), size);
    const std::string text = "Unable to find file " + fileName + "\r\nDo you want to continue?";
    const std::unique_ptr<QMessageBox> box = sw::NewMessageBox(
        nullptr, QMessageBox::Question, "Error", text, QMessageBox::Yes | QMessageBox::No);
    Check(box->textFormat() == Qt::PlainText);
    Check(box->text() == Characters(text));
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    Check(label != nullptr);
    Check(label->textFormat() == Qt::PlainText);
    Check(label->text() == Characters(text));
    Check(label->sizeHint().isValid());
    return 0;
}
