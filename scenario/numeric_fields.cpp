#include "scenario/numeric_fields.h"

#include "aids/numeric_key_filter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace mv {

namespace {
constexpr const char* kSignProperty = "mvAllowSign";
constexpr const char* kDecimalProperty = "mvAllowDecimal";
} // namespace

void ScenarioKeyFilter::watch(QLineEdit* field, const char* window, const char* designName) {
    const auto permissions = NumericFieldPermissions(window, designName);
    Q_ASSERT(permissions.has_value());
    field->setProperty(kSignProperty, permissions && permissions->Sign);
    field->setProperty(kDecimalProperty, permissions && permissions->Decimal);
    field->installEventFilter(this);
}

bool ScenarioKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* field = qobject_cast<QLineEdit*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    // Arrows, Home, End and Delete type nothing and pass; so do shortcuts.
    if (!field || typed.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const char16_t c = typed.at(0).unicode();
    if (c != kKeyBackspace && c < 0x20) return false;
    const int caret = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    const char16_t passed = NumericKeyFilter(c, field->text().toStdString(), caret,
                                             field->property(kSignProperty).toBool(),
                                             field->property(kDecimalProperty).toBool());
    return passed == 0;
}

} // namespace mv
