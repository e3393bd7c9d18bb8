#include "receiver/qt/history_window.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "desktop/qt/qt_text.h"

namespace orvanta {

class HistoryModel : public QAbstractTableModel {
 public:
  explicit HistoryModel(HistoryWindow::Source source)
      : source_(std::move(source)) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(source_.count());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : 4;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const HistoryEntry& entry = source_.row(static_cast<size_t>(index.row()));
    switch (index.column()) {
      case 0:
        return ToQString(entry.time);
      case 1:
        return ToQString(entry.line);
      case 2:
        return ToQString(entry.number);
      default:
        return ToQString(entry.name);
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const char16_t* const kTitles[] = {u"Zaman", u"Hat", u"Numara",
                                              u"\u0130sim"};
    return ToQString(kTitles[section]);
  }
  void Reset() {
    beginResetModel();
    endResetModel();
  }

 private:
  HistoryWindow::Source source_;
};

HistoryWindow::HistoryWindow(Source source, Actions actions)
    : actions_(std::move(actions)),
      model_(new HistoryModel(std::move(source))),
      table_(new QTableView(this)),
      copy_(new QPushButton(ToQString(u"Numaray\u0131 Kopyala"), this)),
      status_(new QLabel(this)) {
  setWindowTitle(
      ToQString(u"Orvanta Al\u0131c\u0131 - Arama Ge\u00e7mi\u015fi"));
  model_->setParent(this);
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(0, 150);
  table_->setColumnWidth(1, 50);
  table_->setColumnWidth(2, 170);
  table_->setToolTip(ToQString(
      u"Numaray\u0131 kopyalamak i\u00e7in \u00e7ift t\u0131klay\u0131n"));

  auto* import =
      new QPushButton(ToQString(u"Rehber \u0130\u00e7e Aktar..."), this);
  auto* reload = new QPushButton(ToQString(u"Rehberi Yenile"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy_);
  buttons->addStretch();
  buttons->addWidget(import);
  buttons->addWidget(reload);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  resize(620, 420);

  connect(copy_, &QPushButton::clicked, this, [this] { CopySelected(); });
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) {
            if (actions_.copy_number)
              actions_.copy_number(static_cast<size_t>(index.row()));
          });
  connect(import, &QPushButton::clicked, this, [this] {
    if (actions_.import_phone_book) actions_.import_phone_book();
  });
  connect(reload, &QPushButton::clicked, this, [this] {
    if (actions_.reload_phone_book) actions_.reload_phone_book();
  });
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::Refresh() {
  // New calls come in on top: the row the user picked moves down with them,
  // so a copy still takes the number they chose.
  // The source has already grown: compare with what the table last showed.
  const int old_count = shown_rows_;
  const QModelIndexList selected =
      table_->selectionModel() ? table_->selectionModel()->selectedRows()
                               : QModelIndexList();
  const int old_row = selected.isEmpty() ? -1 : selected.front().row();
  model_->Reset();
  const int count = model_->rowCount({});
  shown_rows_ = count;
  const int row = old_row < 0 ? 0 : old_row + (count - old_count);
  if (row >= 0 && row < count) table_->selectRow(row);
}

void HistoryWindow::SetStatus(const QString& text) { status_->setText(text); }

void HistoryWindow::CopySelected() {
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty() || !actions_.copy_number) return;
  actions_.copy_number(static_cast<size_t>(rows.front().row()));
}

}  // namespace orvanta
