#include "receiver/qt/history_window.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "desktop/qt/anchors.h"
#include "desktop/qt/qt_text.h"
#include "receiver/history_layout.h"

namespace orvanta {

class HistoryModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Show(const HistoryRows& rows) {
    beginResetModel();
    rows_ = &rows;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !rows_ ? 0 : static_cast<int>(rows_->RowCount());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : 4;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || !rows_) return {};
    const HistoryEntry& entry = rows_->Row(static_cast<size_t>(index.row()));
    const std::u16string* fields[] = {&entry.time, &entry.line, &entry.number,
                                      &entry.name};
    return ToQString(*fields[index.column() & 3]);
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return ToQString(history_text::kColumns[section & 3]);
  }

 private:
  const HistoryRows* rows_ = nullptr;
};

HistoryWindow::HistoryWindow()
    : model_(new HistoryModel(this)),
      table_(new QTableView(this)),
      copy_(new QPushButton(ToQString(history_text::kCopyButton), this)),
      import_(new QPushButton(ToQString(history_text::kImportButton), this)),
      reload_(new QPushButton(ToQString(history_text::kReloadButton), this)),
      status_(new QLabel(this)) {
  setWindowTitle(ToQString(history_text::kCaption));
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  for (int column = 0; column < 3; ++column)
    table_->setColumnWidth(column, kHistoryColumnWidths[column]);
  table_->setToolTip(ToQString(history_text::kListTip));

  resize(ToQSize(kHistoryClientSize));
  auto* anchors = new AnchorLayout(this);
  const std::pair<QWidget*, const HistoryControlLayout&> placed[] = {
      {table_, kHistoryList},
      {copy_, kHistoryCopyButton},
      {import_, kHistoryImportButton},
      {reload_, kHistoryReloadButton},
      {status_, kHistoryStatus}};
  for (const auto& [widget, layout] : placed) {
    widget->setGeometry(ToQRect(layout.rect));
    anchors->Add(widget, layout.anchors);
  }

  connect(copy_, &QPushButton::clicked, this, [this] {
    if (listener_) listener_->OnCopyButton();
  });
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) {
            if (listener_)
              listener_->OnRowActivated(static_cast<size_t>(index.row()));
          });
  connect(import_, &QPushButton::clicked, this, [this] {
    if (listener_) listener_->OnImportPhoneBook();
  });
  connect(reload_, &QPushButton::clicked, this, [this] {
    if (listener_) listener_->OnReloadPhoneBook();
  });
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::ShowRows(const HistoryRows& rows) { model_->Show(rows); }

std::optional<size_t> HistoryWindow::SelectedRow() const {
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<size_t>(rows.front().row());
}

void HistoryWindow::SelectRow(std::optional<size_t> row) {
  if (row) {
    table_->selectRow(static_cast<int>(*row));
  } else {
    table_->clearSelection();
  }
}

void HistoryWindow::SetStatus(const std::u16string& text) {
  status_->setText(ToQString(text));
}

void HistoryWindow::ShowAndActivate() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

bool HistoryWindow::IsShown() const { return isVisible(); }

std::optional<std::u16string> HistoryWindow::AskForPhoneBookFile() {
  QString patterns;
  for (const char16_t* pattern : history_text::kPhoneBookPatterns) {
    if (!patterns.isEmpty()) patterns += QLatin1Char(' ');
    patterns += ToQString(pattern);
  }
  const QString filters =
      ToQString(history_text::kPhoneBookFilter) + QStringLiteral(" (") +
      patterns + QStringLiteral(");;") +
      ToQString(history_text::kAllFilesFilter) + QStringLiteral(" (*)");
  const QString path = QFileDialog::getOpenFileName(
      this, ToQString(history_text::kImportDialogTitle), QString(), filters);
  if (path.isEmpty()) return std::nullopt;
  return FromQString(path);
}

void HistoryWindow::CopyToClipboard(const std::u16string& text) {
  QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace orvanta
