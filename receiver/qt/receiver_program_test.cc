// The receiver's Qt program in this process, drawn into memory, hearing a
// real broadcast inside the private test network.
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "desktop/qt/destinations_dialog.h"
#include "desktop/qt/qt_text.h"
#include "desktop/test/modal.h"
#include "notify/udp_channel.h"
#include "receiver/qt/receiver_program.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

constexpr uint16_t kPort = 18977;  // the namespace is this test's own

// Runs the event loop until `done`, giving up after a while so a broken
// test ends (no timing is asserted).
template <typename Done>
bool ProcessUntil(Done done) {
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

QString Cell(QTableView* table, int row, int column) {
  return table->model()->index(row, column).data().toString();
}

TEST(ReceiverProgramTest, ShowsACallWithItsNameAndKeepsItInTheWindow) {
  TempFolder folder;
  folder.Write("Alici.ini",
               "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
  folder.Write("Rehber.csv",
               "0212 555 01 02;Ay\xC5\x9F"
               "e Demir\n");
  ReceiverProgram program(folder.path().u16string() + u"/", /*headless=*/true);
  program.Start();
  EXPECT_EQ(program.Port(), kPort);

  UdpChannel sender;
  sender.SetPort(kPort);
  sender.SetActive(true);
  sender.Broadcast(u"HAT=3\r\nNUMARA=0 (212) 555 01 02", kPort);
  ASSERT_TRUE(ProcessUntil([&] { return program.App().HistorySize() == 1; }));
  EXPECT_EQ(program.Shell().LastNotification(),
            ToQString(u"Ay\u015fe Demir\n0 (212) 555 01 02\nHat: 3"));

  // Clicking the notification brings up the history, newest first.
  program.App().NotificationClicked();
  HistoryWindow* window = program.Shell().Window();
  ASSERT_TRUE(window->isVisible());
  sender.Broadcast(u"HAT=01\r\nNUMARA=555 55 55", kPort);
  ASSERT_TRUE(
      ProcessUntil([&] { return window->Table()->model()->rowCount() == 2; }));
  QTableView* table = window->Table();
  EXPECT_EQ(Cell(table, 0, 2), QStringLiteral("555 55 55"));
  EXPECT_EQ(Cell(table, 0, 3), ToQString(u"Test mesaj\u0131"));
  EXPECT_EQ(Cell(table, 1, 1), QStringLiteral("3"));
  EXPECT_EQ(Cell(table, 1, 2), QStringLiteral("0 (212) 555 01 02"));
  EXPECT_EQ(Cell(table, 1, 3), ToQString(u"Ay\u015fe Demir"));

  // One click on the button copies the selected row's number, also when a
  // call came in meanwhile and pushed that row down; a double click copies
  // the row clicked.
  table->selectRow(1);
  sender.Broadcast(u"HAT=5\r\nNUMARA=444 0 444", kPort);
  ASSERT_TRUE(ProcessUntil([&] { return table->model()->rowCount() == 3; }));
  QTest::mouseClick(window->CopyButton(), Qt::LeftButton);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringLiteral("0 (212) 555 01 02"));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  const QRect cell = table->visualRect(table->model()->index(1, 2));
  ASSERT_TRUE(table->viewport()->rect().contains(cell.center()));
  // A double click as the platform delivers it: press, release, then the
  // second press arriving as a double click.
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("555 55 55"));
}

// "Hedefler" in the tray menu opens the dialog over Hedefler.ini in the
// receiver's folder; the receiver takes on what it saved.
TEST(ReceiverProgramTest, TheTrayMenuOpensTheDestinationsDialog) {
  TempFolder folder;
  folder.Write("Alici.ini",
               "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
  folder.Write("Hedefler.ini", "[Webhook1]\r\nURL=https://bir.example/\r\n");
  ReceiverProgram program(folder.path().u16string() + u"/", /*headless=*/true);
  int taken_on = 0;
  program.destinations_saved = [&] { ++taken_on; };
  const QList<QAction*> items = program.Shell().TrayMenu()->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[1]->text(), "Hedefler");
  EXPECT_EQ(items[2]->text(), ToQString(u"Program\u0131 Kapat"));

  QString listed;
  WhenModalAppears([&](QWidget* modal) {
    auto* dialog = qobject_cast<QtDestinationsDialog*>(modal);
    if (!dialog) {
      ADD_FAILURE() << "another modal window";
      modal->close();
      return;
    }
    auto* list =
        qobject_cast<QListWidget*>(dialog->Of(DestinationsPart::kList));
    listed = list->item(0)->text();
    qobject_cast<QPushButton*>(dialog->Of(DestinationsPart::kRemoveButton))
        ->click();
    qobject_cast<QPushButton*>(dialog->Of(DestinationsPart::kSaveButton))
        ->click();
  });
  items[1]->trigger();
  EXPECT_EQ(listed, "Webhook 1: POST https://bir.example/");
  EXPECT_FALSE(program.DestinationsOpen());
  EXPECT_EQ(taken_on, 1);
  EXPECT_EQ(folder.Read("Hedefler.ini")->find("bir.example"),
            std::string::npos);
}

}  // namespace
}  // namespace orvanta
