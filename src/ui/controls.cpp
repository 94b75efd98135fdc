#include "ui/controls.h"

namespace corvane::ui {

bool Control::IsEnabled() const {
  std::lock_guard lock(mutex_);
  return enabled_;
}

void Control::SetEnabled(bool enabled) {
  {
    std::lock_guard lock(mutex_);
    if (enabled_ == enabled) return;
    enabled_ = enabled;
  }
  NotifyChanged();
}

std::string EditBox::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

void EditBox::SetText(std::string text) {
  {
    std::lock_guard lock(mutex_);
    if (text_ == text) return;
    text_ = std::move(text);
  }
  NotifyChanged();
}

void PushButton::SetClickHandler(std::function<void()> handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

bool PushButton::Click() {
  std::function<void()> handler;
  {
    std::lock_guard lock(mutex_);
    if (!IsEnabledLocked() || !handler_) return false;
    handler = handler_;
  }
  handler();
  return true;
}

int RadioGroup::CheckedIndex() const {
  std::lock_guard lock(mutex_);
  return checked_;
}

void RadioGroup::SetCheckedIndex(int index) {
  {
    std::lock_guard lock(mutex_);
    if (checked_ == index) return;
    checked_ = index;
  }
  changed_.Notify({});
}

void RadioButton::SetChecked(bool checked) {
  if (checked) {
    group_->SetCheckedIndex(index_);
  } else if (IsChecked()) {
    group_->SetCheckedIndex(-1);
  }
}

int DropDownList::SelectedIndex() const {
  std::lock_guard lock(mutex_);
  return selected_;
}

void DropDownList::SetSelectedIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  {
    std::lock_guard lock(mutex_);
    if (selected_ == index) return;
    selected_ = index;
  }
  NotifyChanged();
}

std::string StatusBar::PartText(int part) const {
  std::lock_guard lock(mutex_);
  return part >= 0 && part < PartCount() ? parts_[part] : std::string();
}

void StatusBar::SetStatusText(int part, std::string text) {
  if (part < 0 || part >= PartCount()) return;
  {
    std::lock_guard lock(mutex_);
    parts_[part] = std::move(text);
  }
  partChanged_.Notify(part);
}

}  // namespace corvane::ui
