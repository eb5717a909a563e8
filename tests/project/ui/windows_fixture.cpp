#include "windows_fixture.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QPushButton>

#include "../engine/gated_stream.h"
#include "stream/file_names.h"

namespace sw::test {

std::vector<std::string> RecordingCutter::Names() const {
    std::vector<std::string> names;
    for (const Call& call : calls) {
        names.push_back(call.what);
    }
    return names;
}

bool RecordingCutter::PlayerResumed() const {
    int suspended = 0;
    for (const Call& call : calls) {
        if (call.what == "EnablePlayer(false)") {
            ++suspended;
        } else if (call.what == "EnablePlayer(true)") {
            --suspended;
        }
    }
    return suspended == 0;
}

namespace {

// Sees every progress window that is shown while it exists.
class ProgressWindowWatch : public QObject {
  public:
    ProgressWindowWatch() { qApp->installEventFilter(this); }
    ~ProgressWindowWatch() override { qApp->removeEventFilter(this); }
    bool seen = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<TProcessForm*>(watched) != nullptr) {
            seen = true;
        }
        return false;
    }
};

}  // namespace

int CountingScanRunner::Scan(TCutObject& cut) {
    ++scans;
    ProgressWindowWatch watch;
    GatedStream* gate = nullptr;
    const std::string name = ExtractFileName(cut.FileName);
    if (std::find(abortNames.begin(), abortNames.end(), name) != abortNames.end() &&
        cut.FileStream) {
        const int64_t middle = cut.FileStream->Size() / 2;
        gate = new GatedStream(std::move(cut.FileStream), middle);
        cut.FileStream.reset(gate);
        auto* abort = new QTimer();
        abort->setInterval(1);
        QObject::connect(abort, &QTimer::timeout, [abort, gate] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<TProcessForm*>(widget);
                if (form != nullptr && form->isVisible() && gate->Reached()) {
                    abort->stop();
                    abort->deleteLater();
                    form->AbortBtn->click();
                    gate->Open();
                    return;
                }
            }
        });
        abort->start();
    }
    const int status = inner_.Scan(cut);
    if (watch.seen) {
        ++progressWindowsSeen;
    }
    return status;
}

WindowsTest::WindowsTest() {
    saved_ = GlobalSettings();
    GlobalSettings() = DefaultGlobalSettings();
    GlobalSettings().TempFolder = dir_.Path();
    GlobalSettings().SaveIndexStream = false;
    GlobalSettings().CheckMatch = false;
    GlobalSettings().CleanCuts = false;  // the frames are hand-built: the tests check plain copies
    GlobalSettings().LastOpenFolder = dir_.Path();
    GlobalSettings().LastSaveFolder = dir_.Path();
    document_ = std::make_unique<ProjectDocument>(GlobalSettings(), prompts_, scans_);
    Bin().SetCutter(&cutter_);
    Cues().SetCutter(&cutter_);
    bin_ = std::make_unique<TProjectForm>(Bin(), prompts_);
    cueList_ = std::make_unique<TCueListForm>(Cues(), Bin(), prompts_);
    bin_->show();
    cueList_->show();
}

WindowsTest::~WindowsTest() {
    TItemDragObject::Instance().SetDragLoop({});
    TItemDragObject::Instance().Clear();
    // Windows go before the document whose models they show.
    cueList_.reset();
    bin_.reset();
    document_.reset();
    GlobalSettings() = saved_;
    EXPECT_TRUE(prompts_.Done()) << "a prompt the test expected was not shown";
}

std::string WindowsTest::Mp3(const std::string& name, int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        Append(bytes, MakeFrame({}, static_cast<uint8_t>(i + 1)));
    }
    const std::string fileName = dir_.File(name);
    WriteFileBytes(fileName, bytes);
    return fileName;
}

void WindowsTest::DropFiles(QWidget* target, const std::vector<std::string>& names) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& name : names) {
        urls.push_back(name.find("://") != std::string::npos
                           ? QUrl(QString::fromStdString(name))
                           : QUrl::fromLocalFile(QString::fromStdString(name)));
    }
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    ASSERT_TRUE(move.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    ASSERT_TRUE(drop.isAccepted());
    // The import runs after the drop returned.
    QApplication::processEvents();
}

std::vector<std::string> WindowsTest::MenuCaptions(QMenu* menu) {
    std::vector<std::string> captions;
    for (QAction* action : menu->actions()) {
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return captions;
}

std::vector<std::string> WindowsTest::ColumnTexts(QAbstractItemModel& model, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.push_back(model.index(row, column).data().toString().toStdString());
    }
    return texts;
}

void WindowsTest::Select(ItemListView* list, const std::vector<int>& rows) {
    list->clearSelection();
    for (int row : rows) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!rows.empty()) {
        list->selectionModel()->setCurrentIndex(list->model()->index(rows.front(), 0),
                                                QItemSelectionModel::NoUpdate);
    }
}

}  // namespace sw::test
