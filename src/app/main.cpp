#include <QApplication>
#include <QLabel>
#include <QMainWindow>

// Until the main window is built, a plain window shows that the program starts.
int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Kesta");
  window.setFixedSize(490, 720);
  auto* label = new QLabel("KESTA", &window);
  label->setAlignment(Qt::AlignCenter);
  window.setCentralWidget(label);
  window.show();
  return application.exec();
}
