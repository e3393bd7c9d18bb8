// The settings window as the user meets it: the portable main window over
// the real Qt window and shell, driven by clicks. Applying the settings opens
// the UDP channel, so this runs inside the private test network only.

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "sender/settings_presenter.h"
#include "sender/qt/port_test_window.h"
#include "sender/qt/qt_shell.h"
#include "sender/qt/settings_window.h"
#include "sender/qt/setup_dialog.h"
#include "desktop/test/modal.h"
#include "sender/qt/widgets.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A window the test did not expect must not leave the test waiting on it.
void CloseUnexpected(QWidget* modal) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  ADD_FAILURE() << "unexpected window: " << modal->windowTitle().toStdString()
                << (box ? " " + box->text().toStdString() : std::string());
  modal->close();
}

class QtSettingsPresenterTest : public testing::Test {
 protected:
  QtSettingsPresenterTest()
      : shell({folder.File(u"Orvanta"), false, {}}),
        program(std::make_unique<Program>(shell)),
        main_window(
            std::make_unique<SettingsPresenter>(window, shell, *program)) {
    main_window->StartUp();
  }

  // Through the tray menu, as the user does.
  void ShowFromTray() {
    shell.TrayMenu()->actions()[0]->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  TempFolder folder;
  QtShell shell;
  QtSettingsWindow window;
  std::unique_ptr<Program> program;
  std::unique_ptr<SettingsPresenter> main_window;
};

TEST_F(QtSettingsPresenterTest, StartsHiddenAndTheTrayShowsTheWindow) {
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(main_window->ShowOnStart());
  EXPECT_EQ(window.windowTitle(), "VELMORIS Orvanta s1.02.05f");
  EXPECT_EQ(shell.TrayIcon()->toolTip(), "VELMORIS Orvanta s1.02.05f");

  emit shell.TrayIcon()->activated(QSystemTrayIcon::Trigger);  // a single click
  EXPECT_FALSE(window.isVisible());
  emit shell.TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(window.isVisible());

  window.close();  // the close box only hides
  EXPECT_FALSE(window.isVisible());
  ShowFromTray();
  window.Controls().hide_button->click();  // "Gizle"
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()))
      << "nothing is saved before a save";
}

TEST_F(QtSettingsPresenterTest, TickingShowsThePanelAndArgShowsItsOptions) {
  ShowFromTray();
  EXPECT_FALSE(window.Controls().caller_id_panel->isVisible());

  QTest::mouseClick(window.Controls().caller_id_enabled, Qt::LeftButton);
  EXPECT_TRUE(window.Controls().caller_id_panel->isVisible());
  EXPECT_EQ(window.Controls().port_edit->text(), "18900");
  EXPECT_TRUE(window.Controls().source_choice->Button(0)->isChecked());
  EXPECT_FALSE(window.Controls().arg_panel->isVisible());
  EXPECT_FALSE(window.Controls().serial_panel->isVisible());

  QTest::mouseClick(window.Controls().source_choice->Button(1), Qt::LeftButton);
  EXPECT_TRUE(window.Controls().arg_panel->isVisible());
  EXPECT_FALSE(window.Controls().serial_panel->isVisible());
  EXPECT_EQ(window.Controls().arg_device_kind->currentText(), "(1) CALLER ID");
  EXPECT_FALSE(window.Controls().main_machine_ip->isVisible());
  EXPECT_FALSE(window.Controls().arg_com_port->isVisible());

  QTest::mouseClick(window.Controls().source_choice->Button(2), Qt::LeftButton);
  EXPECT_FALSE(window.Controls().arg_panel->isVisible());
  EXPECT_TRUE(window.Controls().serial_panel->isVisible());
  EXPECT_EQ(window.Controls().start_text->text(), "S");
  EXPECT_EQ(window.Controls().end_text->text(), "E");
  EXPECT_EQ(window.Controls().number_start->value(), 3);
  EXPECT_EQ(window.Controls().number_length->value(), 15);
}

TEST_F(QtSettingsPresenterTest,
       UygulaWritesTheFileAndReportsTheFailedStartInBoxes) {
  ShowFromTray();
  QTest::mouseClick(window.Controls().caller_id_enabled, Qt::LeftButton);
  QTest::mouseClick(window.Controls().source_choice->Button(1), Qt::LeftButton);

  BoxAnswerer answerer;
  window.Controls().apply_button->click();

  const std::string file = ReadFile(folder.path() / "Setting.ini");
  EXPECT_NE(file.find("CALLERIDKULLAN=True"), std::string::npos) << file;
  EXPECT_NE(file.find("CALLERIDTYPE=1"), std::string::npos) << file;
  EXPECT_TRUE(window.isVisible()) << "Uygula keeps the window";
  // No vendor control exists on Linux: the ARG start fails, as the user sees.
  ASSERT_EQ(answerer.boxes.size(), 2u);
  EXPECT_EQ(answerer.boxes[0].title, "Bilgi");
  EXPECT_TRUE(answerer.boxes[0].text.startsWith("ARG tipi baglanti acilamadi."))
      << answerer.boxes[0].text.toStdString();
  EXPECT_EQ(answerer.boxes[1].text, "Caller ID sistemi baslatilamadi.");
}

TEST_F(QtSettingsPresenterTest, TheSerialButtonsOpenTheirDialogsModally) {
  ShowFromTray();
  QTest::mouseClick(window.Controls().caller_id_enabled, Qt::LeftButton);
  QTest::mouseClick(window.Controls().source_choice->Button(2), Qt::LeftButton);

  QString seen;
  WhenModalAppears([&](QWidget* modal) {
    auto* test_window = qobject_cast<QtPortTestWindow*>(modal);
    if (!test_window) return CloseUnexpected(modal);
    seen = test_window->windowTitle();
    test_window->close_button->click();
  });
  window.Controls().open_port_test_button->click();
  EXPECT_EQ(seen, "Comport Test");

  // Cancel still writes the port's settings file.
  WhenModalAppears([&](QWidget* modal) {
    auto* dialog = qobject_cast<QtSetupDialog*>(modal);
    if (!dialog) return CloseUnexpected(modal);
    seen = dialog->windowTitle();
    dialog->cancel_button->click();
  });
  window.Controls().port_settings_button->click();
  EXPECT_EQ(seen, "Setup");
  const std::string file = ReadFile(folder.path() / "calleridcomport.ini");
  EXPECT_NE(file.find("[ComPortCallerID]"), std::string::npos) << file;
}

TEST_F(QtSettingsPresenterTest, KapatAsksAndYesEndsTheProgram) {
  ShowFromTray();
  int questions = 0;
  BoxAnswerer answerer([&](const BoxAnswerer::Box& box) {
    EXPECT_EQ(box.title, "Soru");
    EXPECT_EQ(box.text, QString::fromUtf8("Program kapatılsın mı ?"));
    return ++questions == 1 ? QMessageBox::No : QMessageBox::Yes;
  });
  QTimer::singleShot(0, [&] {
    window.Controls().close_button->click();  // No: nothing changes
    EXPECT_FALSE(main_window->Closing());
    EXPECT_TRUE(window.isVisible());
    window.Controls().close_button->click();  // Yes: the loop ends
  });
  QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the event loop did not end";
  EXPECT_EQ(questions, 2);
  EXPECT_TRUE(main_window->Closing());
}

}  // namespace
}  // namespace orvanta
