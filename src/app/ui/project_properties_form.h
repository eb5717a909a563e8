#pragma once

#include <QDialog>

#include "project/project_properties.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace sw {

// The project properties dialog: no buttons, closed with its close box; every edit is written
// back when it closes, however it closes.
class TProjectPropertiesForm : public QDialog {
    Q_OBJECT

  public:
    explicit TProjectPropertiesForm(QWidget* parent = nullptr);

    // Shows the record; loading does not count as a change.
    void Load(const TProjectProperties& properties);
    // Writes the controls into the record. A text the user did not edit keeps its stored bytes,
    // even ones the edit's length limit or the tag's Latin-1 could not show.
    void Store(TProjectProperties& properties) const;
    // Whether a control was changed since Load.
    bool Changed() const { return changed_; }

  private:
    void MarkChanged();
    QLineEdit* TagEdit(const char* objectName, const QString& name, int maxLength);

    bool loading_ = false;
    bool changed_ = false;
    TProjectProperties loaded_;

    QLineEdit* titleEdit_ = nullptr;
    QLineEdit* artistEdit_ = nullptr;
    QLineEdit* albumEdit_ = nullptr;
    QLineEdit* yearEdit_ = nullptr;
    QLineEdit* commentEdit_ = nullptr;
    QComboBox* genreList_ = nullptr;
    QCheckBox* trackBox_ = nullptr;
    QSpinBox* trackEdit_ = nullptr;
    QCheckBox* exportTagBox_ = nullptr;
    QPlainTextEdit* projectComment_ = nullptr;
    QCheckBox* privateBox_ = nullptr;
    QCheckBox* copyrightBox_ = nullptr;
    QCheckBox* originalBox_ = nullptr;
    QCheckBox* exportFlagsBox_ = nullptr;
};

// Edits properties in place in a modal dialog; true when a control was changed while it was
// open. The record is written back on every close, also when the dialog ends by an exception.
bool EditProjectProperties(TProjectProperties& properties, QWidget* parent = nullptr);

}  // namespace sw
