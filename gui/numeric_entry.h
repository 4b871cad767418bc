#pragma once
// The one event filter of every numeric entry field: each typed character goes through
// NumericKeyFilter with the field's permissions, and a swallowed key never reaches the field.
// Keys that type nothing (arrows, Home, End, Delete, Tab, Enter, Escape, and the editing keys
// Ctrl+A, C, X, V, Z) pass, and Alt with a letter stays the access key of a button. Pasted and
// composed text meets a validator with the same permissions; text set by the program is not
// checked here, but where it is used.

#include "core/aids/numeric_key_filter.h"

#include <QHash>
#include <QObject>

class QLineEdit;

namespace mv {

class NumericEntryFilter : public QObject {
    Q_OBJECT
  public:
    explicit NumericEntryFilter(QObject* parent = nullptr) : QObject(parent) {}

    // Filters `field` with the permissions tabled for it: `window` is the dialog's design name
    // ("frmManeuver"), the field's object name its design name, an array index ("txtHour(1)")
    // left out. A field that is not in the table is a programming error.
    void watch(QLineEdit* field, const char* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<QObject*, KeyPermissions> fields_;
};

} // namespace mv
