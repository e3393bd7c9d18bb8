#ifndef ORVANTA_DESKTOP_TEST_MODAL_H_
#define ORVANTA_DESKTOP_TEST_MODAL_H_

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace orvanta {

// Acts on the next modal window as soon as it is on screen: the test stands
// in for the user while the code under test waits in the window's own loop.
inline void WhenModalAppears(std::function<void(QWidget* modal)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start();
}

// Answers every message box that appears while it lives, noting its title
// and text; `answer` picks the button (the default one when it returns
// NoButton).
class BoxAnswerer {
 public:
  struct Box {
    QString title;
    QString text;
  };
  using Answer = std::function<QMessageBox::StandardButton(const Box&)>;

  explicit BoxAnswerer(Answer answer = {}) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible() || box->property("answered").toBool())
        return;
      box->setProperty("answered", true);
      boxes.push_back({box->windowTitle(), box->text()});
      QMessageBox::StandardButton choice =
          answer_ ? answer_(boxes.back()) : QMessageBox::NoButton;
      QAbstractButton* button =
          choice == QMessageBox::NoButton
              ? static_cast<QAbstractButton*>(box->defaultButton())
              : box->button(choice);
      button->click();
    });
    timer_.start(5);
  }

  std::vector<Box> boxes;

 private:
  Answer answer_;
  QTimer timer_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_TEST_MODAL_H_
