#include "callerid/destinations_editor.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>

#include "base/failure.h"
#include "base/text.h"

namespace orvanta {
namespace {

using Field = DestinationsView::Field;
using Check = DestinationsView::Check;
using Panel = DestinationsView::Panel;
using Button = DestinationsView::Button;
using Severity = SettingsProblem::Severity;

constexpr char16_t kNoMqttHere[] =
    u"MQTT'ye Windows'tan do\u011frudan g\u00f6nderilmez: aramalar\u0131 "
    u"MQTT'ye, k\u00f6pr\u00fc olarak \u00e7al\u0131\u015fan bir Linux "
    u"bilgisayardaki Orvanta Al\u0131c\u0131 iletir.";
constexpr char16_t kMqttKept[] =
    u" Dosyadaki [MQTT] b\u00f6l\u00fcm\u00fc oldu\u011fu gibi korunur.";

// A field as typed, without the blanks at its ends (the file keeps none).
std::u16string Trimmed(const std::u16string& text) {
  return std::u16string(TrimControls(text));
}

std::vector<std::u16string> HeaderLines(const std::u16string& text) {
  std::vector<std::u16string> headers;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string line = Trimmed(text.substr(start, end - start));
    if (!line.empty()) headers.push_back(line);
    start = end + 1;
  }
  return headers;
}

std::u16string Joined(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += u'\n';
    text += line;
  }
  return text;
}

// A URL as the list shows it: its password masked, its query (where tokens
// are often passed) left out.
std::u16string ListedUrl(const std::u16string& url) {
  if (url.empty()) return u"(adres yok)";
  std::u16string shown = MaskUrlPassword(url);
  const size_t query = shown.find(u'?');
  if (query != std::u16string::npos)
    shown = shown.substr(0, query) + u"?\u2026";
  return shown;
}

bool IsError(const SettingsProblem& problem) {
  return problem.severity == Severity::kError;
}

}  // namespace

DestinationsEditor::DestinationsEditor(DestinationsEditorOptions options)
    : options_(std::move(options)) {}

// The tester goes first: it waits for a test still running, whose answer
// then never arrives.
DestinationsEditor::~DestinationsEditor() { tester_.reset(); }

void DestinationsEditor::Open() {
  if (view_) {
    view_->BringToFront();
    return;
  }
  std::unique_ptr<DestinationsView> view = options_.make_view();
  view_ = view.get();
  // Whatever happens, the editor lets go of the view before it goes.
  struct Release {
    DestinationsEditor& editor;
    ~Release() {
      editor.view_->SetListener(nullptr);
      editor.view_ = nullptr;
    }
  } release{*this};
  Guarded([this] { Load(); });
  view_->SetListener(this);
  view_->ShowModal();
}

void DestinationsEditor::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    if (view_) {
      view_->SetStatus(u"Hata: " + FailureText(std::current_exception()));
    }
  }
}

void DestinationsEditor::Load() {
  webhooks_.clear();
  mqtt_ = MqttSettings{};
  mqtt_answer_.clear();
  kept_mqtt_.reset();
  chosen_ = -1;

  std::u16string status;
  LoadedDestinations loaded;
  try {
    // A fresh set: the dialog names every unknown key each time it opens.
    std::set<std::u16string> reported;
    loaded = LoadDestinations(options_.path, reported);
  } catch (...) {
    status = std::u16string(kDestinationsFileName) + u" okunamad\u0131: " +
             FailureText(std::current_exception());
  }
  for (WebhookSettings& hook : loaded.settings.webhooks) {
    webhooks_.push_back({std::move(hook), next_id_++, {}});
  }
  mqtt_id_ = next_id_++;
  if (loaded.settings.mqtt) {
    if (options_.mqtt) {
      mqtt_ = *loaded.settings.mqtt;
    } else {
      kept_mqtt_ = loaded.settings.mqtt;
    }
  }
  // What the file itself held (unknown keys, values that could not be read
  // or decrypted). The checks of the settings show with each destination.
  const std::vector<SettingsProblem> checks = ValidateDestinations(Collected());
  for (const SettingsProblem& problem : loaded.problems) {
    if (std::find(checks.begin(), checks.end(), problem) != checks.end())
      continue;
    if (!status.empty()) status += u'\n';
    status += problem.text;
  }
  if (RowCount() > 0) chosen_ = 0;

  std::u16string note;
  if (!options_.mqtt) {
    note = kNoMqttHere;
    if (kept_mqtt_) note += kMqttKept;
  }
  view_->SetNote(note);
  view_->SetStatus(status);
  Show(true);
}

int DestinationsEditor::RowCount() const {
  return static_cast<int>(webhooks_.size()) + (options_.mqtt ? 1 : 0);
}

int DestinationsEditor::MqttRow() const {
  return options_.mqtt ? static_cast<int>(webhooks_.size()) : -1;
}

bool DestinationsEditor::MqttConfigured() const {
  for (const std::u16string* text :
       {&mqtt_.url, &mqtt_.user, &mqtt_.password, &mqtt_.client_id,
        &mqtt_.prefix, &mqtt_.ca_file}) {
    if (!text->empty()) return true;
  }
  return false;
}

DestinationSettings DestinationsEditor::Collected() const {
  DestinationSettings settings;
  for (const WebhookRow& row : webhooks_)
    settings.webhooks.push_back(row.settings);
  if (options_.mqtt) {
    if (MqttConfigured()) settings.mqtt = mqtt_;
  } else {
    settings.mqtt = kept_mqtt_;
  }
  return settings;
}

std::vector<SettingsProblem> DestinationsEditor::ProblemsOf(
    int row, const std::vector<SettingsProblem>& all) const {
  std::vector<SettingsProblem> found;
  for (const SettingsProblem& problem : all) {
    const bool mine = problem.mqtt ? row == MqttRow() && row >= 0
                                   : problem.webhook == row && row >= 0;
    if (mine) found.push_back(problem);
  }
  return found;
}

std::u16string DestinationsEditor::RowText(
    int row, const std::vector<SettingsProblem>& all) const {
  std::u16string text;
  bool enabled = true;
  if (row == MqttRow()) {
    if (!MqttConfigured()) return u"MQTT: (ayarlanmad\u0131)";
    text = u"MQTT: " + ListedUrl(mqtt_.url);
    enabled = mqtt_.enabled;
  } else {
    const WebhookSettings& hook = webhooks_[row].settings;
    text = u"Webhook " + IntToText(row + 1) + u": " +
           (hook.method == WebhookMethod::kGet ? u"GET " : u"POST ") +
           ListedUrl(hook.url);
    enabled = hook.enabled;
  }
  if (!enabled) text += u" (kapal\u0131)";
  const std::vector<SettingsProblem> problems = ProblemsOf(row, all);
  if (std::any_of(problems.begin(), problems.end(), IsError)) {
    text += u" (hatal\u0131)";
  }
  return text;
}

std::u16string* DestinationsEditor::AnswerOf(int id) {
  if (id == mqtt_id_) return &mqtt_answer_;
  for (WebhookRow& row : webhooks_) {
    if (row.id == id) return &row.answer;
  }
  return nullptr;
}

void DestinationsEditor::Show(bool fields) {
  const std::vector<SettingsProblem> all = ValidateDestinations(Collected());
  std::vector<std::u16string> rows;
  for (int row = 0; row < RowCount(); ++row) rows.push_back(RowText(row, all));
  view_->SetRows(rows, chosen_);

  const bool webhook =
      chosen_ >= 0 && chosen_ < static_cast<int>(webhooks_.size());
  const bool mqtt = chosen_ >= 0 && chosen_ == MqttRow();
  view_->ShowPanel(webhook ? Panel::kWebhook
                   : mqtt  ? Panel::kMqtt
                           : Panel::kNone);
  if (fields && webhook) {
    const WebhookSettings& hook = webhooks_[chosen_].settings;
    view_->SetText(Field::kWebhookUrl, hook.url);
    view_->SetMethodIndex(hook.method == WebhookMethod::kGet ? 1 : 0);
    view_->SetText(Field::kWebhookHeaders, Joined(hook.headers));
    view_->SetText(Field::kWebhookPin, hook.pin);
    view_->SetChecked(Check::kWebhookEnabled, hook.enabled);
  }
  if (fields && mqtt) {
    view_->SetText(Field::kMqttUrl, mqtt_.url);
    view_->SetText(Field::kMqttUser, mqtt_.user);
    view_->SetText(Field::kMqttPassword, mqtt_.password);
    view_->SetText(Field::kMqttClientId, mqtt_.client_id);
    view_->SetText(Field::kMqttPrefix, mqtt_.prefix);
    view_->SetText(Field::kMqttCaFile, mqtt_.ca_file);
    view_->SetChecked(Check::kMqttEnabled, mqtt_.enabled);
  }

  std::u16string problems;
  for (const SettingsProblem& problem : ProblemsOf(chosen_, all)) {
    if (!problems.empty()) problems += u'\n';
    problems += (IsError(problem) ? u"Hata: " : u"Uyar\u0131: ") + problem.text;
  }
  view_->SetProblems(problems);
  view_->SetTestAnswer(webhook ? webhooks_[chosen_].answer
                       : mqtt  ? mqtt_answer_
                               : std::u16string());
  const bool something = webhook || (mqtt && MqttConfigured());
  view_->SetButtonEnabled(Button::kRemove, something);
  view_->SetButtonEnabled(Button::kTest, something && testing_ == 0);
}

void DestinationsEditor::ReadPanel() {
  if (chosen_ >= 0 && chosen_ < static_cast<int>(webhooks_.size())) {
    WebhookRow& row = webhooks_[chosen_];
    WebhookSettings& hook = row.settings;
    const WebhookSettings before = hook;
    hook.url = Trimmed(view_->Text(Field::kWebhookUrl));
    hook.method =
        view_->MethodIndex() == 1 ? WebhookMethod::kGet : WebhookMethod::kPost;
    hook.headers = HeaderLines(view_->Text(Field::kWebhookHeaders));
    hook.pin = Trimmed(view_->Text(Field::kWebhookPin));
    hook.enabled = view_->Checked(Check::kWebhookEnabled);
    // An answer to other settings would mislead.
    if (!(hook == before) && testing_ != row.id) row.answer.clear();
  } else if (chosen_ >= 0 && chosen_ == MqttRow()) {
    const MqttSettings before = mqtt_;
    mqtt_.url = Trimmed(view_->Text(Field::kMqttUrl));
    mqtt_.user = Trimmed(view_->Text(Field::kMqttUser));
    mqtt_.password = Trimmed(view_->Text(Field::kMqttPassword));
    mqtt_.client_id = Trimmed(view_->Text(Field::kMqttClientId));
    mqtt_.prefix = Trimmed(view_->Text(Field::kMqttPrefix));
    mqtt_.ca_file = Trimmed(view_->Text(Field::kMqttCaFile));
    mqtt_.enabled = view_->Checked(Check::kMqttEnabled);
    if (!(mqtt_ == before) && testing_ != mqtt_id_) mqtt_answer_.clear();
  }
}

void DestinationsEditor::OnRowChosen(int row) {
  Guarded([this, row] {
    chosen_ = row >= 0 && row < RowCount() ? row : -1;
    Show(true);
  });
}

void DestinationsEditor::OnAddWebhook() {
  Guarded([this] {
    webhooks_.push_back({WebhookSettings{}, next_id_++, {}});
    chosen_ = static_cast<int>(webhooks_.size()) - 1;
    view_->SetStatus({});
    Show(true);
  });
}

void DestinationsEditor::OnRemove() {
  Guarded([this] {
    if (chosen_ >= 0 && chosen_ < static_cast<int>(webhooks_.size())) {
      webhooks_.erase(webhooks_.begin() + chosen_);
      // The next webhook takes its place; after the last, the one before.
      chosen_ = std::min(chosen_, static_cast<int>(webhooks_.size()) - 1);
    } else if (chosen_ >= 0 && chosen_ == MqttRow()) {
      mqtt_ = MqttSettings{};
      mqtt_answer_.clear();
    } else {
      return;
    }
    view_->SetStatus({});
    Show(true);
  });
}

void DestinationsEditor::OnEdited() {
  Guarded([this] {
    ReadPanel();
    view_->SetStatus({});
    Show(false);
  });
}

void DestinationsEditor::OnTest() {
  Guarded([this] { Test(); });
}

void DestinationsEditor::Test() {
  const bool webhook =
      chosen_ >= 0 && chosen_ < static_cast<int>(webhooks_.size());
  const bool mqtt = chosen_ >= 0 && chosen_ == MqttRow() && MqttConfigured();
  if (testing_ != 0 || (!webhook && !mqtt)) return;
  const int id = webhook ? webhooks_[chosen_].id : mqtt_id_;
  std::u16string& answer = *AnswerOf(id);
  const std::vector<SettingsProblem> problems =
      ProblemsOf(chosen_, ValidateDestinations(Collected()));
  if (std::any_of(problems.begin(), problems.end(), IsError)) {
    answer = u"S\u0131nanmad\u0131: \u00f6nce hatalar d\u00fczeltilmeli.";
    Show(false);
    return;
  }
  if (!tester_) tester_ = options_.make_tester();
  testing_ = id;
  answer = u"S\u0131nan\u0131yor\u2026";
  Show(false);
  auto done = [this, id](const DestinationTestAnswer& result) {
    Answered(id, result);
  };
  try {
    if (webhook) {
      tester_->TestWebhook(webhooks_[chosen_].settings, done);
    } else {
      tester_->TestMqtt(mqtt_, done);
    }
  } catch (...) {
    testing_ = 0;
    if (std::u16string* shown = AnswerOf(id)) shown->clear();
    Show(false);
    throw;
  }
}

void DestinationsEditor::Answered(int id, const DestinationTestAnswer& answer) {
  if (testing_ == id) testing_ = 0;
  // The destination may have been removed, or the dialog closed, meanwhile.
  if (std::u16string* shown = AnswerOf(id)) {
    *shown =
        (answer.delivered ? u"Ula\u015ft\u0131: " : u"Ula\u015fmad\u0131: ") +
        answer.text;
  }
  if (view_) Guarded([this] { Show(false); });
}

bool DestinationsEditor::Apply() {
  const DestinationSettings settings = Collected();
  const std::vector<SettingsProblem> problems = ValidateDestinations(settings);
  const auto error = std::find_if(problems.begin(), problems.end(), IsError);
  if (error != problems.end()) {
    const long long errors =
        std::count_if(problems.begin(), problems.end(), IsError);
    std::u16string status = u"Kaydedilmedi: " + error->text;
    if (errors > 1) {
      status += u" (" + IntToText(errors - 1) + u" hata daha)";
    }
    // The destination at fault is shown, with all that is wrong with it.
    const int row = error->mqtt ? MqttRow() : error->webhook;
    if (row >= 0) chosen_ = row;
    view_->SetStatus(status);
    Show(true);
    return false;
  }
  try {
    if (options_.create_folder) options_.create_folder();
    SaveDestinations(options_.path, settings);
  } catch (...) {
    view_->SetStatus(u"Kaydedilemedi: " +
                     FailureText(std::current_exception()));
    return false;
  }
  const long long warnings = static_cast<long long>(problems.size());
  std::u16string status = u"Kaydedildi.";
  if (warnings > 0) {
    status += u" " + IntToText(warnings) +
              u" uyar\u0131 var; hedefin "
              u"alt\u0131nda yaz\u0131yor.";
  }
  try {
    if (options_.saved) options_.saved();
  } catch (...) {
    view_->SetStatus(u"Kaydedildi, ama hedefler yeniden okunamad\u0131: " +
                     FailureText(std::current_exception()));
    Show(false);
    return false;
  }
  view_->SetStatus(status);
  Show(false);
  return true;
}

void DestinationsEditor::OnApply() {
  Guarded([this] { Apply(); });
}

void DestinationsEditor::OnSave() {
  Guarded([this] {
    if (Apply()) view_->Close();
  });
}

void DestinationsEditor::OnCancel() {
  Guarded([this] { view_->Close(); });
}

}  // namespace orvanta
