#pragma once
// A flat progress bar painted in given colours. The style's own bar is shaded with gradients and
// cached pixmaps, which costs more than the rest of a small panel, and every style draws it in its
// own way.

#include <QColor>
#include <QProgressBar>

namespace kesta {

struct FlatBarLook {
  QColor track;
  QColor disabledTrack;
  QColor border;      // none when invalid
  QColor fillStart;   // the fill runs from this colour on the left...
  QColor fillEnd;     // ...to this one at its right end
  int verticalInset;  // rows left clear above and below the bar
};

class TFlatBar : public QProgressBar {
 public:
  TFlatBar(const FlatBarLook& look, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  FlatBarLook m_look;
};

}  // namespace kesta
