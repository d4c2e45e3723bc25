#pragma once
// A titled frame around a group of a page's controls, painted here in the style's geometry. The
// style's own frame is drawn from an image file, and reading it loads every image format plug-in
// while the first page is painted.

#include <QGroupBox>

namespace kesta {

class TGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  // The title is the name until the language sets it.
  TGroupBox(const QString& name, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kesta
