#pragma once
// The F4 view window: the aircraft seen from above and from the side, on which a click places the camera
// of the game's F4 view. Each click writes the new position straight into the caller's three values.

#include <QDialog>
#include <QPoint>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace kesta {

class DialogService;

class TFrmF4View : public QDialog {
  Q_OBJECT

 public:
  // Where the two marks wait, below the pictures, until a value or a click places them.
  static constexpr QPoint kCameraRest{40, 474};
  static constexpr QPoint kCameraSideRest{16, 474};

  // `x`, `y`, `z`: the caller's camera values. The window reads them once, with every space removed, to
  // place the marks when shown, and writes each click's values into them.
  TFrmF4View(QWidget* parent, DialogService& dialogs, const QString& okCaption, const QString& cancelCaption,
             std::string& x, std::string& y, std::string& z, std::filesystem::path imagesFolder);

  // Run each time the window is shown: captions, the first aircraft's pictures, the marks from the values.
  // A failure is reported in one error box; the steps after it are skipped.
  void FormShow();
  // The pointer released at `point`, in the coordinates of the top view or of the side view.
  void ImageMouseUp(QPoint point);
  void ImageSideMouseUp(QPoint point);
  // Shows the pictures of the aircraft now chosen; marks and values stay.
  void ComboBoxAircraftChange();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadPictures(const QString& aircraft);

  DialogService& m_dialogs;
  QString m_okCaption;
  QString m_cancelCaption;
  std::string& m_x;
  std::string& m_y;
  std::string& m_z;
  // The values as received, spaces removed.
  std::string m_receivedX;
  std::string m_receivedY;
  std::string m_receivedZ;
  std::filesystem::path m_imagesFolder;

  QLabel* m_image;
  QLabel* m_imageSide;
  QLabel* m_camera;
  QLabel* m_cameraSide;
  QComboBox* m_aircraft;
  QPushButton* m_ok;
  QPushButton* m_cancel;
};

// The main window's F4 view button: shows the window modally over the caller's three values. Returns true
// when it was closed with OK and a value differs, spaces aside, from what it was; any other close puts the
// three values back exactly as they were and returns false. `whileOpen`, when given, runs once the window
// is shown and open (tests drive the window through it and must close it).
bool OpenF4View(QWidget* parent, DialogService& dialogs, const QString& okCaption,
                const QString& cancelCaption, std::string& x, std::string& y, std::string& z,
                const std::filesystem::path& imagesFolder,
                const std::function<void(TFrmF4View&)>& whileOpen = {});

}  // namespace kesta
