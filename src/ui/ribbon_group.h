#pragma once
// The body of a ribbon tab: a row of groups, each a captioned frame around its buttons. Groups and tabs
// carry their design name as object name so the language translator can caption them.

#include <QFrame>
#include <QList>
#include <QString>
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;

namespace kesta {

class TRibbonButton;

class TRibbonGroup : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption)

 public:
  explicit TRibbonGroup(const QString& name, QWidget* parent = nullptr);

  QString Caption() const;
  void SetCaption(const QString& caption);

  // Large buttons stand alone; consecutive small buttons stack in columns of up to three.
  TRibbonButton* AddButton(TRibbonButton* button);
  void AddSeparator();

  QList<TRibbonButton*> Buttons() const;
  // Buttons and separators in the order they were added.
  const QList<QWidget*>& Items() const { return m_items; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // The caption as painted: shortened with an ellipsis if the group is narrower than it needs.
  QString ShownCaption() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect CaptionStrip() const;
  QRect CaptionArea() const;
  int CaptionWidth() const;

  QHBoxLayout* m_row;
  QVBoxLayout* m_column = nullptr;  // open column of small buttons
  QString m_caption;
  QList<QWidget*> m_items;
};

class TRibbonTab : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption NOTIFY CaptionChanged)

 public:
  explicit TRibbonTab(const QString& name, QWidget* parent = nullptr);

  QString Caption() const { return m_caption; }
  void SetCaption(const QString& caption);

  TRibbonGroup* AddGroup(TRibbonGroup* group);
  const QList<TRibbonGroup*>& Groups() const { return m_groups; }

 signals:
  void CaptionChanged(const QString& caption);

 private:
  QHBoxLayout* m_row;
  QString m_caption;
  QList<TRibbonGroup*> m_groups;
};

}  // namespace kesta
