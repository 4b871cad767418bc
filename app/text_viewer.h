#pragma once
// The description viewer: one multi-line text box and a Close button. Read-only for a
// preview from the demo chooser; editable when the own-targets dialog opens it, and then the
// text typed is the description of the scenario in force, which Store as Demo writes.

#include <QDialog>

#include <string>

class QPlainTextEdit;

namespace mv {

class TextViewer : public QDialog {
    Q_OBJECT
  public:
    explicit TextViewer(QWidget* parent = nullptr);

    // Shows `description` read-only, its CR LF line breaks as one; nothing it shows is kept.
    void ShowPreview(const std::string& description);
    // Shows `description` for editing; every change is written back to it at once. The
    // string must outlive the viewer's next opening.
    void EditDescription(std::string& description);

    QPlainTextEdit* txtDescription() const { return txtDescription_; }

  signals:
    // The viewer was closed (its Close button, its frame or Escape).
    void closed();

  public slots:
    void cmdCancel_Click();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void Open(const QString& text, bool locked);
    // Within the radar picture's frame, at its left: never over the control column, at any
    // size or scale. Once: a viewer the user moved stays where she put it.
    void FitBesidePictureOnce();

    QPlainTextEdit* txtDescription_ = nullptr;
    std::string* editing_ = nullptr;
    bool placed_ = false;
};

} // namespace mv
