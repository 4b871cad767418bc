#pragma once
// Typed keys in the scenario dialogs' number fields go through the shared key decision, so a
// letter never reaches a heading, speed, range or bearing. Text set by the program or pasted
// is not filtered; the dialogs check it before they use it.

#include <QObject>

class QLineEdit;

namespace mv {

class ScenarioKeyFilter : public QObject {
    Q_OBJECT
  public:
    explicit ScenarioKeyFilter(QObject* parent = nullptr) : QObject(parent) {}
    // Filters `field` with the permissions of its design name in `window`.
    void watch(QLineEdit* field, const char* window, const char* designName);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mv
