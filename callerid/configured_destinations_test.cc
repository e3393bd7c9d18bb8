#include "callerid/configured_destinations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/test/recorders.h"
#include "base/test/temp_folder.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/webhook_destination.h"

namespace orvanta {
namespace {

// A destination that holds every call it is given until the test says the
// peer has it, and remembers what happened to it.
class HoldingDestination : public ConfiguredDestination {
 public:
  struct Record {
    std::vector<std::string> delivered;  // ids, in order
    bool stopped = false;
  };
  HoldingDestination(std::u16string name, Record& record)
      : name_(std::move(name)), record_(record) {}

  void Deliver(const Call& call) override {
    if (call.id == "fail " + Utf16ToUtf8(name_)) {
      throw Failure(name_ + u" failed");
    }
    record_.delivered.push_back(call.id);
    held_.push_back({call.id, DeliveryTiming::Clock::now()});
  }
  const std::u16string& Name() const override { return name_; }
  size_t Pending() const override { return held_.size(); }
  std::vector<DeliveryQueue::Item> Stop() override {
    record_.stopped = true;
    return std::move(held_);
  }
  void Adopt(std::vector<DeliveryQueue::Item> calls) override {
    calls.insert(calls.end(), held_.begin(), held_.end());
    held_ = std::move(calls);
  }
  std::vector<std::string> Held() const {
    std::vector<std::string> ids;
    for (const auto& item : held_) ids.push_back(item.payload);
    return ids;
  }

 private:
  std::u16string name_;
  Record& record_;
  std::vector<DeliveryQueue::Item> held_;
};

// What a kind of the test plans: name -> (key, succession).
struct Wanted {
  std::u16string name;
  std::u16string key;
  std::u16string succession;
};

class ConfiguredDestinationsTest : public testing::Test {
 protected:
  ConfiguredDestinationsTest() {
    destinations_.AddKind([this](const LoadedDestinations&,
                                 const DestinationEnvironment&,
                                 std::vector<PlannedDestination>& plan,
                                 std::vector<std::u16string>& notes) {
      notes.insert(notes.end(), notes_.begin(), notes_.end());
      for (const Wanted& w : wanted_) {
        plan.push_back({w.name, w.key, w.succession, [this, w] {
                          ++made_[w.name];
                          return std::make_unique<HoldingDestination>(
                              w.name, records_[w.key]);
                        }});
      }
    });
  }

  void Apply(std::vector<Wanted> wanted) {
    wanted_ = std::move(wanted);
    log_.lines.clear();
    destinations_.Apply({});
  }
  HoldingDestination& At(size_t i) {
    return static_cast<HoldingDestination&>(destinations_.At(i));
  }
  void Call(const std::string& id) {
    orvanta::Call call;
    call.id = id;
    destinations_.Deliver(call);
  }

  RecordingProgramLog log_;
  ConfiguredDestinations destinations_{DestinationEnvironment{
      .log = &log_, .sender = {u"pc", u"Orvanta", u"1"}}};
  std::vector<Wanted> wanted_;
  std::vector<std::u16string> notes_;
  std::map<std::u16string, HoldingDestination::Record> records_;
  std::map<std::u16string, int> made_;
};

TEST_F(ConfiguredDestinationsTest,
       UnchangedGoOnChangedHandOverRemovedSayWhatIsLost) {
  Apply({{u"A", u"a1", u"to-a"}, {u"B", u"b1", u"to-b"}, {u"C", u"c1", u""}});
  EXPECT_EQ(log_.lines,
            (std::vector<std::u16string>{u"Hedef etkin: A", u"Hedef etkin: B",
                                         u"Hedef etkin: C"}));
  Call("1");
  Call("2");
  HoldingDestination* a = &At(0);

  // A unchanged; B edited (same place: it takes B's calls); C gone; D new.
  Apply({{u"A", u"a1", u"to-a"}, {u"B'", u"b2", u"to-b"}, {u"D", u"d1", u""}});
  ASSERT_EQ(destinations_.Count(), 3u);
  EXPECT_EQ(&At(0), a);
  EXPECT_EQ(made_[u"A"], 1);
  EXPECT_FALSE(records_[u"a1"].stopped);
  EXPECT_EQ(At(0).Held(), (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(records_[u"b1"].stopped);
  EXPECT_EQ(At(1).Name(), u"B'");
  EXPECT_EQ(At(1).Held(), (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(records_[u"c1"].stopped);
  EXPECT_EQ(log_.lines,
            (std::vector<std::u16string>{
                u"Hedef yeni ayarlarıyla yeniden başlatıldı: B' (bekleyen 2 "
                u"arama ile)",
                u"Hedef etkin: D",
                u"Hedef kapatıldı: C; bekleyen 2 arama gönderilmeden atıldı"}));

  // The calls after go to all of them, in the file's order, the adopted
  // ones first.
  Call("3");
  EXPECT_EQ(At(1).Held(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(records_[u"d1"].delivered, (std::vector<std::string>{"3"}));

  // Nothing left: every one stops, A says its calls were dropped.
  Apply({});
  EXPECT_EQ(destinations_.Count(), 0u);
  EXPECT_TRUE(records_[u"a1"].stopped);
  EXPECT_EQ(log_.lines.size(), 3u);
  EXPECT_EQ(log_.lines[0],
            u"Hedef kapatıldı: A; bekleyen 3 arama gönderilmeden atıldı");
}

TEST_F(ConfiguredDestinationsTest,
       OneFailingDestinationDoesNotKeepTheCallFromTheNext) {
  Apply({{u"A", u"a1", u""}, {u"B", u"b1", u""}});
  // A refuses the call: B still has it, and the failure comes after.
  EXPECT_THROW(Call("fail A"), Failure);
  EXPECT_EQ(records_[u"b1"].delivered, (std::vector<std::string>{"fail A"}));
}

TEST_F(ConfiguredDestinationsTest, NotesAreToldWhenNewNotAtEveryReading) {
  notes_ = {u"MQTT: bu sistemde yok."};
  Apply({});
  EXPECT_EQ(log_.lines,
            (std::vector<std::u16string>{u"MQTT: bu sistemde yok."}));
  Apply({});
  EXPECT_TRUE(log_.lines.empty());
  notes_.clear();
  Apply({});
  notes_ = {u"MQTT: bu sistemde yok."};
  Apply({});
  EXPECT_EQ(log_.lines.size(), 1u);  // gone and back: told again
}

// The real file and the real webhook kind: a usable webhook runs, problems
// are told by the file's name, an unknown key once; reading the same file
// again changes nothing and says nothing; a file that cannot be read keeps
// what runs.
TEST(ConfiguredDestinationsFileTest, ReadsHedeflerIniAndTellsItsProblemsOnce) {
  TempFolder folder;
  folder.Write("Hedefler.ini",
               "\xEF\xBB\xBF[Webhook1]\r\nURL=https://ornek.test/a?t=gizli\r\n"
               "RENK=mavi\r\n"
               "[Webhook2]\r\nURL=https://ornek.test/b\r\nENABLED=False\r\n"
               "[Webhook3]\r\nURL=ftp://ornek.test/\r\n");
  UiHandover ui;
  RecordingProgramLog log;
  ConfiguredDestinations destinations(DestinationEnvironment{
      .ui = &ui, .log = &log, .sender = {u"pc", u"Orvanta", u"1"}});
  destinations.AddKind(PlanWebhooks);
  const std::u16string path = folder.File("Hedefler.ini");

  destinations.Reload(path);
  ASSERT_EQ(destinations.Count(), 1u);
  EXPECT_EQ(destinations.At(0).Name(), u"Webhook 1 (https://ornek.test)");
  const std::u16string all = [&] {
    std::u16string text;
    for (const auto& line : log.lines) text += line + u"\n";
    return text;
  }();
  EXPECT_NE(all.find(u"Hedefler.ini: bilinmeyen [Webhook1] RENK yok sayıldı."),
            std::u16string::npos)
      << Utf16ToUtf8(all);
  EXPECT_NE(all.find(u"Hedefler.ini: Webhook 3: bilinmeyen şema \"ftp\""),
            std::u16string::npos)
      << Utf16ToUtf8(all);
  EXPECT_NE(all.find(u"Hedef etkin: Webhook 1 (https://ornek.test)\n"),
            std::u16string::npos);
  // No token from the URL's query in the log.
  EXPECT_EQ(all.find(u"gizli"), std::u16string::npos);

  ConfiguredDestination* running = &destinations.At(0);
  log.lines.clear();
  destinations.Reload(path);
  EXPECT_TRUE(log.lines.empty()) << Utf16ToUtf8(log.lines.front());
  EXPECT_EQ(&destinations.At(0), running);

  std::filesystem::remove(folder.Path("Hedefler.ini"));
  std::filesystem::create_directory(folder.Path("Hedefler.ini"));
  destinations.Reload(path);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_TRUE(log.lines[0].starts_with(
      u"Hedefler.ini okunamadı; hedefler olduğu gibi çalışmaya devam ediyor: "))
      << Utf16ToUtf8(log.lines[0]);
  EXPECT_EQ(&destinations.At(0), running);

  // No file at all: no destinations.
  std::filesystem::remove(folder.Path("Hedefler.ini"));
  log.lines.clear();
  destinations.Reload(path);
  EXPECT_EQ(destinations.Count(), 0u);
  EXPECT_EQ(log.lines,
            (std::vector<std::u16string>{
                u"Hedef kapatıldı: Webhook 1 (https://ornek.test)"}));
}

// Which webhooks are the same, and which may take over another's calls.
TEST(PlanWebhooksTest, KeysFollowEverySettingSuccessionTheMethodAndAddress) {
  LoadedDestinations loaded;
  WebhookSettings post;
  post.url = u"https://a.test/x";
  WebhookSettings get;
  get.url = u"https://a.test/x?n={number}";
  get.method = WebhookMethod::kGet;
  WebhookSettings off;
  off.url = u"https://c.test/";
  off.enabled = false;
  loaded.settings.webhooks = {post, off, get};
  std::vector<PlannedDestination> plan;
  std::vector<std::u16string> notes;
  PlanWebhooks(loaded, {}, plan, notes);
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].name, u"Webhook 1 (https://a.test)");
  EXPECT_EQ(plan[1].name, u"Webhook 3 (https://a.test)");
  EXPECT_NE(plan[0].succession, plan[1].succession);

  // A header more: another key, the same succession. Another place in the
  // file: another key too.
  loaded.settings.webhooks[0].headers = {u"Authorization: Bearer x"};
  loaded.settings.webhooks.erase(loaded.settings.webhooks.begin() + 1);
  std::vector<PlannedDestination> again;
  PlanWebhooks(loaded, {}, again, notes);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_NE(again[0].key, plan[0].key);
  EXPECT_EQ(again[0].succession, plan[0].succession);
  EXPECT_NE(again[1].key, plan[1].key);
  EXPECT_EQ(again[1].succession, plan[1].succession);
  EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace orvanta
