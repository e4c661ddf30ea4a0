#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ErrorReport.h"
#include "platform/Form.h"
#include "platform/FormLayout.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

class FakeFormFactory;

// A window that keeps what was done to it: its control texts, visibility,
// topmost calls, the messages it showed and the menus it popped up. Tests
// fire its events as the platform would (Click, CloseByPlatform...).
class FakeForm final : public platform::Form {
 public:
  struct Message {
    std::wstring text, title;
    std::uint32_t flags = 0;
    friend bool operator==(const Message&, const Message&) = default;
  };
  struct MenuItem {
    int id = 0;
    std::wstring caption;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
  };

  FakeForm(FakeFormFactory& factory, const platform::FormLayout& layout,
           platform::FormEvents& events);
  ~FakeForm() override;

  // platform::Form
  bool IsLoaded() const override { return loaded; }
  void Show() override;
  void ShowAndActivate() override;
  void Hide() override;
  bool IsVisible() const override { return loaded && visible; }
  void MakeTopmost() override;
  std::wstring Text(int control_id) const override;
  void SetText(int control_id, const std::wstring& text) override;
  void SetReadOnly(int control_id) override;
  int ShowMessage(const std::wstring& text, const std::wstring& title,
                  std::uint32_t flags) override;
  void PopupMenu(std::span<const platform::MenuItemLayout> items) override;
  std::uintptr_t Handle() const override { return handle; }
  std::uintptr_t IconHandle() const override { return icon; }

  // Events, as the platform delivers them. With an error report given to the
  // factory, an exception from the handler goes there, as the real window's
  // procedure does; without one it reaches the test.
  void Click(int id);  // a button or a menu item: OnCommand
  void DoubleClick(int control_id);
  void MouseMove(int button_state);
  void LoseFocus();
  // Title-bar close or log-off: OnClose, then the window is unloaded.
  void CloseByPlatform();
  void TaskbarCreated();
  // The user types into a field (the text replaces the field's text); as in
  // Windows, a read-only field keeps its text.
  void Type(int control_id, const std::wstring& text) {
    if (!read_only.contains(control_id)) SetTextQuietly(control_id, text);
  }

  // What the window holds and what was done to it.
  std::wstring caption;
  std::map<int, std::wstring> texts;  // every control of the layout, by id
  std::set<int> read_only;            // the fields made read-only
  bool loaded = true;
  bool visible = false;
  int show_calls = 0;      // Show and ShowAndActivate
  int activate_calls = 0;  // ShowAndActivate only
  int hide_calls = 0;
  int topmost_calls = 0;
  int set_text_calls = 0;
  std::vector<Message> messages;
  std::vector<std::vector<MenuItem>> popups;
  // The button ShowMessage returns; by default IDOK (1).
  std::function<int(const Message&)> answer;
  // Runs while ShowMessage "blocks", before it returns: a test can act while
  // a modal box is open.
  std::function<void(const Message&)> while_message_open;
  std::uintptr_t handle = 0;
  std::uintptr_t icon = 0;

 private:
  void SetTextQuietly(int control_id, const std::wstring& text);
  void Fire(const std::function<void()>& handler);
  std::map<int, std::wstring>::iterator Find(int control_id);

  FakeFormFactory& factory_;
  platform::FormEvents& events_;
};

// Makes FakeForms and keeps track of them. The journal, when given, records
// "Create <caption>", "Show <caption>", "ShowAndActivate <caption>",
// "Hide <caption>", "MakeTopmost <caption>", "SetText <caption> <id> = <text>",
// "Message <title>: <text>", "PopupMenu <caption>", "Unload <caption>",
// "Release <caption>".
class FakeFormFactory final : public platform::FormFactory {
 public:
  std::unique_ptr<platform::Form> Create(const platform::FormLayout& layout,
                                         platform::FormEvents& events) override;

  // The forms still alive (not yet released by their owner), oldest first.
  std::vector<FakeForm*> forms;
  int created = 0;
  int released = 0;
  // The last form made with this caption and still alive, or null.
  FakeForm* Find(std::wstring_view caption) const;

  platform::ErrorReport* errors = nullptr;
  CallJournal* journal = nullptr;
};

}  // namespace rerevure::testing
