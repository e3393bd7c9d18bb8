#include "sender/port_test_presenter.h"

#include <gtest/gtest.h>

#include "sender/test/fake_views.h"
#include "base/failure.h"
#include "callerid/serial_connection.h"
#include "callerid/test/engine_fakes.h"

namespace orvanta {
namespace {

TEST(PortTestPresenterTest, ShowsChunksAsRunningTextAndOneLinePerByte) {
  FakeShell shell;
  PortTestPresenter presenter(shell);
  FakePortTestView& view = *shell.port_test_view;
  view.text_pane = u"typed ";  // the user's own text stays
  presenter.ShowChunk("S12");
  presenter.ShowChunk("3E");
  EXPECT_EQ(view.text_pane, u"typed S123E");
  EXPECT_EQ(view.byte_pane,
            (std::vector<std::u16string>{u"83 (S)", u"49 (1)", u"50 (2)",
                                         u"51 (3)", u"69 (E)"}));
}

TEST(PortTestPresenterTest, ByteLinesKeepControlBytesAndUseTheAnsiCodePage) {
  EXPECT_EQ(ByteLine(65), u"65 (A)");
  EXPECT_EQ(ByteLine(48), u"48 (0)");
  EXPECT_EQ(ByteLine(13), u"13 (\r)");
  EXPECT_EQ(ByteLine(0xDE), u"222 (Ş)");  // Windows-1254
  // A zero byte must not cut the pane's text short.
  EXPECT_EQ(ByteLine(0), u"0 (\u2400)");
  FakeShell shell;
  PortTestPresenter presenter(shell);
  presenter.ShowChunk(std::string("a\0b\r\n", 5));
  EXPECT_EQ(shell.port_test_view->text_pane, u"a\u2400b\r\n");
}

TEST(PortTestPresenterTest, KapatEndsTheShowing) {
  FakeShell shell;
  PortTestPresenter presenter(shell);
  shell.port_test_view->listener.OnClose();
  EXPECT_TRUE(shell.port_test_view->closed);
}

class ShowPortTestWindowTest : public testing::Test {
 protected:
  Journal journal_;
  FakeSerialLine line_{journal_};
  FakeRetryTimer retry_{journal_};
  FakeNotice notice_{journal_};
  FakeProgramLog log_{journal_};
  SerialConnection receiver_{line_, retry_, notice_, log_};
  FakeShell shell_;
};

TEST_F(ShowPortTestWindowTest,
       TheConnectionHandsChunksToTheWindowOnlyWhileItExists) {
  bool sink_set_while_shown = false;
  bool sink_set_at_destruction = true;
  shell_.port_test_user = [&](FakePortTestView& view) {
    sink_set_while_shown = receiver_.HasTestSink();
    view.on_destroy = [&] {
      sink_set_at_destruction = receiver_.HasTestSink();
    };
  };
  EXPECT_FALSE(receiver_.HasTestSink());
  ShowPortTestWindow(shell_, receiver_);
  EXPECT_TRUE(sink_set_while_shown);
  EXPECT_FALSE(sink_set_at_destruction);
  EXPECT_TRUE(FakePortTestView::destroyed);
}

TEST_F(ShowPortTestWindowTest, AFailingShowingStillDetachesTheWindow) {
  shell_.port_test_user = [](FakePortTestView&) { throw Failure(u"broken"); };
  EXPECT_THROW(ShowPortTestWindow(shell_, receiver_), Failure);
  EXPECT_FALSE(receiver_.HasTestSink());
  EXPECT_TRUE(FakePortTestView::destroyed);
}

}  // namespace
}  // namespace orvanta
