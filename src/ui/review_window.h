#pragma once
// The review of an Apply: every file Apply would change, with the lines it would remove and add, before
// anything is written. Its Apply button runs the window's real Apply.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "sets/change_preview.h"

class QPlainTextEdit;
class QPushButton;

namespace kesta {

class TReviewWindow : public QDialog {
 public:
  struct Content {
    std::vector<FileChange> changes;    // in Apply's order
    std::vector<FileFailure> failures;  // files Apply could not write, named above the changes
    std::filesystem::path gameFolder;   // the files are named relative to it
  };
  // `apply` runs the window's Apply; `message` looks up the texts.
  TReviewWindow(QWidget* parent, const Content& content, std::function<void()> apply,
                const std::function<QString(const QString&)>& message);

  // The text shown, for the tests and the screenshot tour.
  QString Text() const;

 private:
  QPlainTextEdit* m_text = nullptr;
  QPushButton* m_apply = nullptr;
};

}  // namespace kesta
