#pragma once
// A page of the main window. Its caption comes from the language file and heads the page.

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace kesta {

class TTabSheet : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption)

 public:
  TTabSheet(const QString& name, const QString& designCaption, QWidget* parent = nullptr);

  QString Caption() const { return m_heading->text(); }
  void SetCaption(const QString& caption) { m_heading->setText(caption); }
  // Where the page's controls go.
  QVBoxLayout* Body() const { return m_body; }

 private:
  QLabel* m_heading;
  QVBoxLayout* m_body;
};

}  // namespace kesta
