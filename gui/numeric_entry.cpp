#include "gui/numeric_entry.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace mv {

namespace {

// Pasted, dropped or composed text is held to the characters the keys may type; a paste that
// would break the number leaves the field as it was.
class NumericTextValidator : public QValidator {
  public:
    NumericTextValidator(KeyPermissions permissions, QObject* parent)
        : QValidator(parent), permissions_(permissions) {}
    State validate(QString& text, int&) const override {
        return NumericTextAllowed(text.toStdString(), permissions_) ? Acceptable : Invalid;
    }

  private:
    KeyPermissions permissions_;
};

// The character code a key press types, as the filter sees it: Ctrl with a letter is the
// control character of that letter, swallowed like every other control character, except the
// editing keys (select all, copy, cut, paste, undo, redo), which type nothing themselves: a
// student who selects all with Ctrl+A types over the old figure, and a paste still meets the
// validator. 0 when the key types nothing.
char16_t TypedCode(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Delete) return 0; // edits, but types no character
    for (const auto editing : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                               QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
        if (key.matches(editing)) return 0;
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return kKeyTab;
    if ((key.modifiers() & Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
        return static_cast<char16_t>(key.key() - Qt::Key_A + 1);
    if (key.key() == Qt::Key_Backspace) return kKeyBackspace;
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return kKeyReturn;
    if (key.key() == Qt::Key_Escape) return kKeyEscape;
    const QString text = key.text();
    return text.isEmpty() ? 0 : static_cast<char16_t>(text.at(0).unicode());
}

} // namespace

void NumericEntryFilter::watch(QLineEdit* field, const char* window) {
    QString name = field->objectName();
    name = name.left(name.indexOf('(') < 0 ? name.size() : name.indexOf('('));
    const auto permissions = NumericFieldPermissions(window, name.toStdString());
    Q_ASSERT_X(permissions, "NumericEntryFilter::watch", "a field that takes no number");
    fields_.insert(field, permissions.value_or(KeyPermissions{}));
    field->setValidator(new NumericTextValidator(fields_.value(field), field));
    field->installEventFilter(this);
    connect(field, &QObject::destroyed, this, [this](QObject* f) { fields_.remove(f); });
}

bool NumericEntryFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto found = fields_.constFind(watched);
    if (found == fields_.constEnd()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Alt with a letter is a button's access key ("Turn &Left by"): the shortcut runs it before
    // the press comes here, and a press no shortcut took types nothing into a number.
    if ((key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier)) {
        if (event->type() == QEvent::ShortcutOverride) return false;
        event->ignore();
        return true;
    }
    const char16_t code = TypedCode(*key);
    if (code == 0) return false;
    const auto* field = static_cast<QLineEdit*>(watched);
    const int caret = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    if (NumericKeyFilter(code, field->text().toStdString(), caret, found->Sign, found->Decimal) !=
        0)
        return false;
    // Swallowed: neither the field nor the dialog around it (Enter, Escape) sees the key.
    event->accept();
    return true;
}

} // namespace mv
