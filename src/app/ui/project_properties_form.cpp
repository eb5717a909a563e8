#include "app/ui/project_properties_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "stream/id3_tag.h"
#include "widgets/ui/tool_window.h"

namespace sw {

namespace {

constexpr int kTrackMinimum = 1;
constexpr int kTrackMaximum = 32;
constexpr uint8_t kNoGenre = 255;

// Tag texts are the tag's bytes, shown as Latin-1, so each byte is one character both ways.
QString TagText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string TagBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

// The project comment keeps the line breaks project files have always carried.
QString CommentText(const std::string& bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string CommentBytes(QString text) {
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toUtf8().toStdString();
}

QCheckBox* CheckBox(const char* caption, const char* objectName, const QString& accessibleName) {
    auto* box = new QCheckBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    return box;
}

}  // namespace

QLineEdit* TProjectPropertiesForm::TagEdit(const char* objectName, const QString& name,
                                           int maxLength) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setAccessibleName(name);
    edit->setMaxLength(maxLength);
    // A character outside Latin-1 would be stored as "?"; refuse it at the keyboard instead.
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{20}-\\x{7E}\\x{A0}-\\x{FF}]*")), edit));
    connect(edit, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
    return edit;
}

TProjectPropertiesForm::TProjectPropertiesForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProjectPropertiesForm"));
    setWindowTitle(QStringLiteral("Project properties"));
    setAccessibleName(QStringLiteral("Project properties"));
    MakeCentredToolWindow(this);

    titleEdit_ = TagEdit("TitleEdit", QStringLiteral("Title"), 30);
    artistEdit_ = TagEdit("ArtistEdit", QStringLiteral("Artist"), 30);
    albumEdit_ = TagEdit("AlbumEdit", QStringLiteral("Album"), 30);
    yearEdit_ = TagEdit("YearEdit", QStringLiteral("Year"), 4);
    commentEdit_ = TagEdit("CommentEdit", QStringLiteral("Comment"), 30);
    genreList_ = new QComboBox;
    genreList_->setObjectName(QStringLiteral("GenreList"));
    genreList_->setAccessibleName(QStringLiteral("Genre"));
    for (int genre = 0; genre <= kLastGenre; ++genre) {
        genreList_->addItem(QString::fromStdString(GenreName(static_cast<uint8_t>(genre))));
    }
    trackBox_ = CheckBox("Use ID3 v1.1", "TrackBox", QStringLiteral("Use ID3 v1.1"));
    trackEdit_ = new QSpinBox;
    trackEdit_->setObjectName(QStringLiteral("TrackEdit"));
    trackEdit_->setAccessibleName(QStringLiteral("Track"));
    trackEdit_->setRange(kTrackMinimum, kTrackMaximum);
    exportTagBox_ =
        CheckBox("Export to file", "ExportTagBox", QStringLiteral("Export tag to file"));
    projectComment_ = new QPlainTextEdit;
    projectComment_->setObjectName(QStringLiteral("ProjectComment"));
    projectComment_->setAccessibleName(QStringLiteral("Project comment"));
    privateBox_ = CheckBox("Private", "PrivateBox", QStringLiteral("Private"));
    copyrightBox_ = CheckBox("Copyright", "CopyrightBox", QStringLiteral("Copyright"));
    originalBox_ = CheckBox("Original", "OriginalBox", QStringLiteral("Original"));
    exportFlagsBox_ =
        CheckBox("Export to file", "ExportFlagsBox", QStringLiteral("Export MPEG flags to file"));

    auto* tag = new QGroupBox(QStringLiteral("ID3v1.x Tag"));
    tag->setObjectName(QStringLiteral("TagGroup"));
    auto* tagRows = new QFormLayout(tag);
    tagRows->addRow(QStringLiteral("Title"), titleEdit_);
    tagRows->addRow(QStringLiteral("Artist"), artistEdit_);
    tagRows->addRow(QStringLiteral("Album"), albumEdit_);
    tagRows->addRow(QStringLiteral("Year"), yearEdit_);
    tagRows->addRow(QStringLiteral("Comment"), commentEdit_);
    tagRows->addRow(QStringLiteral("Genre"), genreList_);
    auto* trackRow = new QHBoxLayout;
    trackRow->addWidget(trackBox_);
    trackRow->addWidget(trackEdit_);
    trackRow->addStretch();
    tagRows->addRow(QStringLiteral("Track"), trackRow);
    tagRows->addRow(exportTagBox_);

    auto* comment = new QGroupBox(QStringLiteral("Project Comment"));
    comment->setObjectName(QStringLiteral("CommentGroup"));
    auto* commentLayout = new QVBoxLayout(comment);
    commentLayout->addWidget(projectComment_);

    auto* flags = new QGroupBox(QStringLiteral("MPEG Flags"));
    flags->setObjectName(QStringLiteral("FlagsGroup"));
    auto* flagRows = new QVBoxLayout(flags);
    flagRows->addWidget(privateBox_);
    flagRows->addWidget(copyrightBox_);
    flagRows->addWidget(originalBox_);
    flagRows->addWidget(exportFlagsBox_);

    auto* lower = new QHBoxLayout;
    lower->addWidget(comment, 1);
    lower->addWidget(flags);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tag);
    layout->addLayout(lower);

    connect(genreList_, &QComboBox::currentIndexChanged, this, [this] { MarkChanged(); });
    connect(trackEdit_, &QSpinBox::valueChanged, this, [this] { MarkChanged(); });
    connect(trackBox_, &QCheckBox::toggled, trackEdit_, &QWidget::setEnabled);
    for (QCheckBox* box :
         {trackBox_, exportTagBox_, privateBox_, copyrightBox_, originalBox_, exportFlagsBox_}) {
        connect(box, &QCheckBox::toggled, this, [this] { MarkChanged(); });
    }
    connect(projectComment_, &QPlainTextEdit::textChanged, this, [this] { MarkChanged(); });
}

void TProjectPropertiesForm::Load(const TProjectProperties& properties) {
    loaded_ = properties;
    loading_ = true;
    const TID3Tag& tag = properties.Tag;
    titleEdit_->setText(TagText(tag.Title));
    artistEdit_->setText(TagText(tag.Artist));
    albumEdit_->setText(TagText(tag.Album));
    yearEdit_->setText(TagText(tag.Year));
    commentEdit_->setText(TagText(tag.Comment));
    for (QLineEdit* edit : {titleEdit_, artistEdit_, albumEdit_, yearEdit_, commentEdit_}) {
        edit->setModified(false);
    }
    // A stored number beyond the list (255: none chosen) selects nothing.
    genreList_->setCurrentIndex(tag.Genre <= kLastGenre ? tag.Genre : -1);
    // A track from a file written elsewhere may lie above the spin edit's range; it must not be
    // cut to 32 by merely opening the dialog.
    trackEdit_->setMaximum(std::max<int>(kTrackMaximum, tag.Track));
    trackBox_->setChecked(tag.Track != 0);
    trackEdit_->setEnabled(tag.Track != 0);
    trackEdit_->setValue(tag.Track != 0 ? tag.Track : kTrackMinimum);
    projectComment_->setPlainText(CommentText(properties.Comment));
    projectComment_->document()->setModified(false);
    privateBox_->setChecked(properties.Private != 0);
    copyrightBox_->setChecked(properties.Copyright != 0);
    originalBox_->setChecked(properties.Original != 0);
    exportTagBox_->setChecked((properties.ExportFlags & kExportTag) != 0);
    exportFlagsBox_->setChecked((properties.ExportFlags & kExportFlags) != 0);
    loading_ = false;
    changed_ = false;
}

void TProjectPropertiesForm::Store(TProjectProperties& properties) const {
    const auto text = [](const QLineEdit* edit, const std::string& stored) {
        return edit->isModified() ? TagBytes(edit->text()) : stored;
    };
    TID3Tag& tag = properties.Tag;
    tag.Title = text(titleEdit_, loaded_.Tag.Title);
    tag.Artist = text(artistEdit_, loaded_.Tag.Artist);
    tag.Album = text(albumEdit_, loaded_.Tag.Album);
    tag.Year = text(yearEdit_, loaded_.Tag.Year);
    tag.Comment = text(commentEdit_, loaded_.Tag.Comment);
    if (genreList_->currentIndex() >= 0) {
        tag.Genre = static_cast<uint8_t>(genreList_->currentIndex());
    } else {
        // Nothing chosen: 255, or the number beyond the list that was stored.
        tag.Genre = loaded_.Tag.Genre > kLastGenre ? loaded_.Tag.Genre : kNoGenre;
    }
    tag.Track = trackBox_->isChecked() ? static_cast<uint8_t>(trackEdit_->value()) : 0;
    properties.Comment = projectComment_->document()->isModified()
                             ? CommentBytes(projectComment_->toPlainText())
                             : loaded_.Comment;
    properties.Private = privateBox_->isChecked() ? 1 : 0;
    properties.Copyright = copyrightBox_->isChecked() ? 1 : 0;
    properties.Original = originalBox_->isChecked() ? 1 : 0;
    properties.ExportFlags = (exportTagBox_->isChecked() ? kExportTag : 0) |
                             (exportFlagsBox_->isChecked() ? kExportFlags : 0);
}

void TProjectPropertiesForm::MarkChanged() {
    if (!loading_) {
        changed_ = true;
    }
}

bool EditProjectProperties(TProjectProperties& properties, QWidget* parent) {
    TProjectPropertiesForm form(parent);
    form.Load(properties);
    // Written back however the dialog ends: closed, rejected, or left by an exception.
    struct WriteBack {
        TProjectPropertiesForm& form;
        TProjectProperties& properties;
        ~WriteBack() { form.Store(properties); }
    } writeBack{form, properties};
    form.exec();
    return form.Changed();
}

}  // namespace sw
