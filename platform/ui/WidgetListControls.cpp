// List boxes and drop-down lists as widget controls. Out of sight a list
// keeps its items as shown, its current item, its selection and its top
// item; a drop-down list its current item.

#include <QComboBox>
#include <QItemSelection>
#include <QListWidget>

#include "platform/ui/WidgetControlBase.h"

namespace platform::widgets {

namespace {

QStringList ToQStrings(const std::vector<std::string>& items,
                       const std::function<QString(const std::string&)>& convert) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(items.size()));
  for (const std::string& item : items) texts << convert(item);
  return texts;
}

class TWidgetListBox : public TWidgetControl<TListBox, QListWidget> {
 public:
  using TWidgetControl::TWidgetControl;

  void ClearItems() override { SetItems({}); }
  void AddItem(const std::string& text) override {
    items_ << ToQString(text);
    selected_.push_back(false);
    if (QListWidget* list = widget()) list->addItem(items_.back());
  }
  void SetItems(const std::vector<std::string>& items) override {
    items_ = ToQStrings(items, [this](const std::string& s) { return ToQString(s); });
    current_ = -1;
    top_ = 0;
    selected_.assign(static_cast<size_t>(items_.size()), false);
    if (QListWidget* list = widget()) {
      list->clear();
      list->addItems(items_);
    }
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override {
    return InRange(index) ? FromQString(items_[index]) : std::string();
  }
  int ItemIndex() const override { return widget() ? widget()->currentRow() : current_; }
  void SetItemIndex(int index) override {
    // In a list of several selections the current item is only the one
    // with the focus frame; in a list of one it is the selection.
    if (QListWidget* list = widget()) {
      if (multi_)
        list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
      else
        list->setCurrentRow(index);
      return;
    }
    current_ = InRange(index) ? index : -1;
    if (multi_) return;
    selected_.assign(selected_.size(), false);
    if (current_ >= 0) selected_[static_cast<size_t>(current_)] = true;
  }
  bool MultiSelect() const override { return multi_; }
  void SetMultiSelect(bool on) override {
    multi_ = on;
    if (QListWidget* list = widget()) ApplySelectionMode(*list);
  }
  bool Selected(int index) const override {
    if (!InRange(index)) return false;
    if (!multi_) return index == ItemIndex();
    if (QListWidget* list = widget()) return list->item(index)->isSelected();
    return selected_[static_cast<size_t>(index)];
  }
  void SetSelected(int index, bool selected) override {
    if (QListWidget* list = widget()) {
      if (QListWidgetItem* item = list->item(index)) item->setSelected(selected);
    } else if (InRange(index)) {
      selected_[static_cast<size_t>(index)] = selected;
    }
  }
  void SetSelection(const std::vector<bool>& selected) override {
    if (!multi_) return TListBox::SetSelection(selected);
    QListWidget* list = widget();
    if (!list) {
      const size_t count = std::min(selected.size(), selected_.size());
      std::fill(selected_.begin(), selected_.end(), false);
      std::copy(selected.begin(), selected.begin() + static_cast<std::ptrdiff_t>(count),
                selected_.begin());
      return;
    }
    list->selectionModel()->select(Runs(*list, selected), QItemSelectionModel::ClearAndSelect);
  }
  std::vector<bool> Selection() const override {
    if (!multi_) return TListBox::Selection();
    if (const QListWidget* list = widget()) return SelectionOf(*list);
    return selected_;
  }
  void SetTopIndex(int index) override {
    if (QListWidget* list = widget()) {
      if (QListWidgetItem* item = list->item(index))
        list->scrollToItem(item, QAbstractItemView::PositionAtTop);
    } else if (InRange(index)) {
      top_ = index;
    }
  }

 protected:
  void Setup(QListWidget& list) override {
    list.setUniformItemSizes(true);
    list.setStyleSheet("QListWidget::item { padding: 0px; margin: 0px; }");
  }
  void Restore(QListWidget& list) override {
    ApplySelectionMode(list);
    list.addItems(items_);
    list.setCurrentRow(current_, QItemSelectionModel::NoUpdate);
    list.selectionModel()->select(Runs(list, selected_), QItemSelectionModel::ClearAndSelect);
    // Scrolling lays the items out now, as a list filled by its page is:
    // its scroll bar shows with its first picture.
    if (QListWidgetItem* item = list.item(top_))
      list.scrollToItem(item, QAbstractItemView::PositionAtTop);
  }
  void RestoreView(QListWidget& list) override {
    if (top_ <= 0) return;
    if (QListWidgetItem* item = list.item(top_))
      list.scrollToItem(item, QAbstractItemView::PositionAtTop);
  }
  void Keep(const QListWidget& list) override {
    current_ = list.currentRow();
    selected_ = SelectionOf(list);
    top_ = std::max(0, list.indexAt(QPoint(0, 0)).row());
  }

 private:
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  void ApplySelectionMode(QListWidget& list) const {
    list.setSelectionMode(multi_ ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
  }
  // The runs of selected items as one selection: item by item, each
  // selection costs as much as the selection is long.
  static QItemSelection Runs(const QListWidget& list, const std::vector<bool>& selected) {
    QItemSelection selection;
    const QAbstractItemModel* model = list.model();
    const int count = std::min(static_cast<int>(selected.size()), list.count());
    for (int i = 0; i < count;) {
      if (!selected[i]) {
        ++i;
        continue;
      }
      int end = i;
      while (end + 1 < count && selected[end + 1]) ++end;
      selection.select(model->index(i, 0), model->index(end, 0));
      i = end + 1;
    }
    return selection;
  }
  static std::vector<bool> SelectionOf(const QListWidget& list) {
    std::vector<bool> selected(static_cast<size_t>(list.count()));
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
      if (index.row() >= 0 && static_cast<size_t>(index.row()) < selected.size())
        selected[index.row()] = true;
    return selected;
  }

  QStringList items_;
  std::vector<bool> selected_;  // what shows selected, in a list of one too
  int current_ = -1;
  int top_ = 0;
  bool multi_ = false;
};

// A drop-down list takes its first item as its current one when it is
// filled, as the widget does.
class TWidgetComboBox : public TWidgetControl<TComboBox, QComboBox> {
 public:
  using TWidgetControl::TWidgetControl;

  void ClearItems() override { SetItems({}); }
  void AddItem(const std::string& text) override {
    items_ << ToQString(text);
    if (QComboBox* combo = widget())
      combo->addItem(items_.back());
    else if (items_.size() == 1)
      index_ = 0;
  }
  void SetItems(const std::vector<std::string>& items) override {
    items_ = ToQStrings(items, [this](const std::string& s) { return ToQString(s); });
    index_ = items_.isEmpty() ? -1 : 0;
    if (QComboBox* combo = widget()) {
      combo->clear();
      combo->addItems(items_);
    }
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override {
    return index >= 0 && index < Count() ? FromQString(items_[index]) : std::string();
  }
  int ItemIndex() const override { return widget() ? widget()->currentIndex() : index_; }
  void SetItemIndex(int index) override {
    if (QComboBox* combo = widget())
      combo->setCurrentIndex(index);
    else
      index_ = index >= 0 && index < Count() ? index : -1;
  }

 protected:
  void Setup(QComboBox& combo) override { combo.setEditable(false); }
  void Restore(QComboBox& combo) override {
    combo.addItems(items_);
    combo.setCurrentIndex(index_);
  }
  void Keep(const QComboBox& combo) override { index_ = combo.currentIndex(); }

 private:
  QStringList items_;
  int index_ = -1;
};

}  // namespace

std::unique_ptr<TListBox> NewListBox(TControlChain& chain) {
  return std::make_unique<TWidgetListBox>(chain);
}
std::unique_ptr<TComboBox> NewComboBox(TControlChain& chain) {
  return std::make_unique<TWidgetComboBox>(chain);
}

}  // namespace platform::widgets
