#include "support/FakeForm.h"

#include <algorithm>
#include <stdexcept>

namespace rerevure::testing {

FakeForm::FakeForm(FakeFormFactory& factory, const platform::FormLayout& layout,
                   platform::FormEvents& events)
    : caption(layout.caption), factory_(factory), events_(events) {
  for (const platform::ControlLayout& control : layout.controls) {
    if (control.id == 0 || control.id == 1 || control.id == 2)
      throw std::invalid_argument("control ids 0, 1 and 2 are reserved");
    if (!texts.emplace(control.id, std::wstring(control.caption)).second)
      throw std::invalid_argument("two controls share an id");
  }
  handle = 0x1000 + static_cast<std::uintptr_t>(factory.created) * 0x10;
  icon = layout.application_icon ? handle + 1 : 0;
}

FakeForm::~FakeForm() {
  auto& forms = factory_.forms;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  ++factory_.released;
  Record(factory_.journal, L"Release " + caption);
}

void FakeForm::Show() {
  if (!loaded) return;
  visible = true;
  ++show_calls;
  Record(factory_.journal, L"Show " + caption);
}

void FakeForm::ShowAndActivate() {
  if (!loaded) return;
  visible = true;
  ++show_calls;
  ++activate_calls;
  Record(factory_.journal, L"ShowAndActivate " + caption);
}

void FakeForm::Hide() {
  if (!loaded) return;
  visible = false;
  ++hide_calls;
  Record(factory_.journal, L"Hide " + caption);
}

void FakeForm::MakeTopmost() {
  if (!loaded) return;
  ++topmost_calls;
  Record(factory_.journal, L"MakeTopmost " + caption);
}

std::map<int, std::wstring>::iterator FakeForm::Find(int control_id) {
  if (!loaded) throw std::logic_error("the window is unloaded");
  auto found = texts.find(control_id);
  if (found == texts.end()) throw std::invalid_argument("no control with this id");
  return found;
}

std::wstring FakeForm::Text(int control_id) const {
  if (control_id == 0) return caption;
  return const_cast<FakeForm*>(this)->Find(control_id)->second;
}

void FakeForm::SetText(int control_id, const std::wstring& text) {
  ++set_text_calls;
  Record(factory_.journal,
         L"SetText " + caption + L" " + std::to_wstring(control_id) + L" = " + text);
  SetTextQuietly(control_id, text);
}

void FakeForm::SetReadOnly(int control_id) {
  Find(control_id);  // an unknown or unloaded control fails as in SetText
  read_only.insert(control_id);
  Record(factory_.journal, L"SetReadOnly " + caption + L" " + std::to_wstring(control_id));
}

void FakeForm::SetTextQuietly(int control_id, const std::wstring& text) {
  if (control_id == 0) {
    if (!loaded) throw std::logic_error("the window is unloaded");
    caption = text;
    return;
  }
  Find(control_id)->second = text;
}

int FakeForm::ShowMessage(const std::wstring& text, const std::wstring& title,
                          std::uint32_t flags) {
  Message message{text, title, flags};
  messages.push_back(message);
  Record(factory_.journal, L"Message " + title + L": " + text);
  if (while_message_open) while_message_open(message);
  return answer ? answer(message) : 1;
}

void FakeForm::PopupMenu(std::span<const platform::MenuItemLayout> items) {
  std::vector<MenuItem> menu;
  for (const auto& item : items) menu.push_back(MenuItem{item.id, std::wstring(item.caption)});
  popups.push_back(std::move(menu));
  Record(factory_.journal, L"PopupMenu " + caption);
}

void FakeForm::Fire(const std::function<void()>& handler) {
  if (factory_.errors != nullptr) {
    platform::RunReportingErrors(*factory_.errors, handler);
  } else {
    handler();
  }
}

void FakeForm::Click(int id) {
  Fire([&] { events_.OnCommand(id); });
}

void FakeForm::DoubleClick(int control_id) {
  Fire([&] { events_.OnDoubleClick(control_id); });
}

void FakeForm::MouseMove(int button_state) {
  Fire([&] { events_.OnMouseMove(button_state); });
}

void FakeForm::LoseFocus() {
  Fire([&] { events_.OnFocusLost(); });
}

void FakeForm::CloseByPlatform() {
  if (!loaded) return;
  // As the real window: the window goes even when the handler fails.
  try {
    Fire([&] { events_.OnClose(); });
  } catch (...) {
    loaded = false;
    visible = false;
    throw;
  }
  loaded = false;
  visible = false;
  Record(factory_.journal, L"Unload " + caption);
}

void FakeForm::TaskbarCreated() {
  Fire([&] { events_.OnTaskbarCreated(); });
}

std::unique_ptr<platform::Form> FakeFormFactory::Create(const platform::FormLayout& layout,
                                                        platform::FormEvents& events) {
  auto form = std::make_unique<FakeForm>(*this, layout, events);
  ++created;
  forms.push_back(form.get());
  Record(journal, L"Create " + form->caption);
  return form;
}

FakeForm* FakeFormFactory::Find(std::wstring_view caption) const {
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    if ((*it)->caption == caption) return *it;
  }
  return nullptr;
}

}  // namespace rerevure::testing
