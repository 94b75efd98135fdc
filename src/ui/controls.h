// Control models: each owns its control's state, performs every operation as one atomic step
// that any thread may call, and tells its observers what changed. Texts are CP936. No Qt here:
// the views in qt/ observe these models and feed user input back into them.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ui/observers.h"

namespace corvane::ui {

// What changed in a simple control; observers re-read the state they show.
struct ControlChanged {};

// Common part of every control: its given name and its enabled state.
class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  bool IsEnabled() const;
  void SetEnabled(bool enabled);
  Observers<ControlChanged>& Changed() { return changed_; }

 protected:
  void NotifyChanged() { changed_.Notify({}); }
  // For subclasses that already hold mutex_.
  bool IsEnabledLocked() const { return enabled_; }
  mutable std::mutex mutex_;

 private:
  std::string name_;
  bool enabled_ = true;
  Observers<ControlChanged> changed_;
};

class EditBox : public Control {
 public:
  EditBox(std::string name, std::string text, bool multiLine = false)
      : Control(std::move(name)), text_(std::move(text)), multiLine_(multiLine) {}
  std::string Text() const;
  void SetText(std::string text);
  bool IsMultiLine() const { return multiLine_; }

 private:
  std::string text_;
  const bool multiLine_;
};

class Label : public Control {
 public:
  Label(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }

 private:
  const std::string caption_;
};

// A frame with a caption around other controls.
class GroupBox : public Label {
 public:
  using Label::Label;
};

class PushButton : public Control {
 public:
  PushButton(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  // The handler bound to the click event; none means the button does nothing.
  void SetClickHandler(std::function<void()> handler);
  // A click on an enabled button runs its handler on the calling thread; on a disabled one it
  // does nothing. Returns whether the handler ran.
  bool Click();

 private:
  const std::string caption_;
  std::function<void()> handler_;
};

// The radio buttons of one group share this: checking one clears the others.
class RadioGroup {
 public:
  int CheckedIndex() const;
  void SetCheckedIndex(int index);
  Observers<ControlChanged>& Changed() { return changed_; }

 private:
  mutable std::mutex mutex_;
  int checked_ = -1;
  Observers<ControlChanged> changed_;
};

class RadioButton : public Control {
 public:
  RadioButton(std::string name, std::string caption, std::shared_ptr<RadioGroup> group,
              int indexInGroup)
      : Control(std::move(name)),
        caption_(std::move(caption)),
        group_(std::move(group)),
        index_(indexInGroup) {}
  const std::string& Caption() const { return caption_; }
  bool IsChecked() const { return group_->CheckedIndex() == index_; }
  // Checking clears the other buttons of the group; unchecking leaves none checked.
  void SetChecked(bool checked);
  RadioGroup& Group() { return *group_; }

 private:
  const std::string caption_;
  std::shared_ptr<RadioGroup> group_;
  const int index_;
};

// A list the user can only choose from.
class DropDownList : public Control {
 public:
  DropDownList(std::string name, std::vector<std::string> items)
      : Control(std::move(name)), items_(std::move(items)) {}
  const std::vector<std::string>& Items() const { return items_; }
  // -1 when nothing is selected.
  int SelectedIndex() const;
  // An index outside the items clears the selection.
  void SetSelectedIndex(int index);

 private:
  const std::vector<std::string> items_;
  int selected_ = -1;
};

class StatusBar : public Control {
 public:
  StatusBar(std::string name, std::vector<std::string> partTexts)
      : Control(std::move(name)), parts_(std::move(partTexts)) {}
  int PartCount() const { return static_cast<int>(parts_.size()); }
  std::string PartText(int part) const;
  // Replaces the text of one part at once; an index outside the parts changes nothing.
  void SetStatusText(int part, std::string text);
  // Told the part index of every change.
  Observers<int>& PartChanged() { return partChanged_; }

 private:
  std::vector<std::string> parts_;
  Observers<int> partChanged_;
};

}  // namespace corvane::ui
