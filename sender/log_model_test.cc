#include "sender/log_model.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sender/test/fake_views.h"
#include "base/text.h"

namespace orvanta {
namespace {

class LogModelTest : public testing::Test {
 protected:
  // Work posted to the user-interface thread, run when the test says so.
  void RunPosted() {
    auto work = std::move(posted_);
    posted_.clear();
    for (auto& item : work) item();
  }
  void Add(int first, int last) {
    for (int i = first; i <= last; ++i) log_.AddLogLine(Line(i));
  }
  static std::u16string Line(int i) {
    return u"Kanal No : 0   Caller ID : " + IntToText(i);
  }
  static std::vector<std::u16string> Lines(int first, int last) {
    std::vector<std::u16string> lines;
    for (int i = first; i <= last; ++i) lines.push_back(Line(i));
    return lines;
  }
  std::vector<std::u16string> Model() const {
    return {log_.Lines().begin(), log_.Lines().end()};
  }

  LogModelTest() { log_.AttachPane(&view_); }

  FakeSettingsView view_;
  std::vector<std::function<void()>> posted_;
  LogModel log_{[this](std::function<void()> work) {
    posted_.push_back(std::move(work));
  }};
};

TEST_F(LogModelTest, AVisiblePaneIsDrawnByOneLaterRefresh) {
  view_.ShowWindow();
  Add(1, 3);
  // The lines are in the model at once; the pane waits for the posted work.
  EXPECT_EQ(Model(), Lines(1, 3));
  EXPECT_TRUE(view_.log_pane.empty());
  ASSERT_EQ(posted_.size(), 1u);
  RunPosted();
  EXPECT_EQ(view_.log_pane, Lines(1, 3));
  EXPECT_EQ(view_.log_pane_draws, 1);

  Add(4, 4);
  RunPosted();
  EXPECT_EQ(view_.log_pane, Lines(1, 4));
}

TEST_F(LogModelTest, AHiddenPaneIsCaughtUpWhenShown) {
  Add(1, 5);
  EXPECT_TRUE(posted_.empty());
  EXPECT_TRUE(view_.log_pane.empty());
  view_.ShowWindow();
  log_.WindowShown();
  EXPECT_EQ(view_.log_pane, Lines(1, 5));

  // Hidden again with a refresh still on its way: it draws what came.
  Add(6, 6);
  view_.HideWindow();
  Add(7, 7);
  RunPosted();
  EXPECT_EQ(view_.log_pane, Lines(1, 7));
}

// The pane and the model keep the most recent lines, however they arrive.
TEST_F(LogModelTest, KeepsTheMostRecentTwoThousandLines) {
  const int kMax = static_cast<int>(LogModel::kMaxLines);
  struct Case {
    const char* name;
    std::vector<int> batches;  // lines added between two refreshes
  };
  const Case cases[] = {
      {"one at a time past the bound", std::vector<int>(kMax + 3, 1)},
      {"a batch larger than the bound", {10, kMax + 500}},
      {"batches that end exactly at the bound", {kMax - 1, 1, kMax}},
      {"a batch that pushes out part of the pane", {kMax - 10, 25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSettingsView view;
    view.ShowWindow();
    std::vector<std::function<void()>> posted;
    LogModel log(
        [&](std::function<void()> work) { posted.push_back(std::move(work)); });
    log.AttachPane(&view);
    int added = 0;
    for (int batch : c.batches) {
      for (int i = 0; i < batch; ++i) log.AddLogLine(Line(++added));
      for (auto& work : std::exchange(posted, {})) work();
    }
    const int first = std::max(1, added - kMax + 1);
    EXPECT_EQ(
        std::vector<std::u16string>(log.Lines().begin(), log.Lines().end()),
        Lines(first, added));
    EXPECT_EQ(view.log_pane, Lines(first, added));
  }
}

TEST_F(LogModelTest, HiddenPastTheBoundShowsOnlyTheRecentLines) {
  view_.ShowWindow();
  Add(1, 10);
  RunPosted();
  view_.HideWindow();
  Add(11, 2015);
  view_.ShowWindow();
  log_.WindowShown();
  EXPECT_EQ(view_.log_pane, Lines(16, 2015));
}

TEST_F(LogModelTest, ClearingEmptiesModelAndPaneAtOnce) {
  view_.ShowWindow();
  Add(1, 3);
  RunPosted();
  Add(4, 5);
  log_.ClearLog();
  EXPECT_TRUE(view_.log_pane.empty());
  EXPECT_TRUE(log_.Lines().empty());
  // The refresh still on its way draws nothing from before the clear.
  RunPosted();
  EXPECT_TRUE(view_.log_pane.empty());
  Add(6, 6);
  RunPosted();
  EXPECT_EQ(view_.log_pane, Lines(6, 6));
}

// Without a screen the lines go out by the same later work, together when
// they came together, and a clear of the pane takes none of them back.
TEST_F(LogModelTest, TheEchoGetsEveryLineAfterTheHandler) {
  std::vector<std::vector<std::u16string>> echoed;
  log_.SetEcho([&](const std::vector<std::u16string>& lines) {
    echoed.push_back(lines);
  });
  Add(1, 2);
  log_.ClearLog();
  EXPECT_TRUE(echoed.empty());
  ASSERT_EQ(posted_.size(), 1u);
  RunPosted();
  Add(3, 3);
  RunPosted();
  EXPECT_EQ(echoed, (std::vector<std::vector<std::u16string>>{Lines(1, 2),
                                                              Lines(3, 3)}));
  EXPECT_TRUE(view_.log_pane.empty()) << "the hidden pane is not drawn";
}

}  // namespace
}  // namespace orvanta
