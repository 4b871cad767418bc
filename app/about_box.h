#pragma once
// "About Marovane": a picture of a radar screen, the product title and its version.

#include <QDialog>

class QLabel;

namespace mv {

// "Version major.minor.revision" of this build.
QString VersionText();

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
    QLabel* lblVersion() const { return lblVersion_; }

  public slots:
    void cmdOK_Click() { close(); }

  private:
    QLabel* lblVersion_ = nullptr;
};

} // namespace mv
