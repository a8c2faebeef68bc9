#include "app/program.h"

#include "app/memory_policy.h"
#include "assistant/decal_window.h"
#include "catalogue/catalogue_commands.h"
#include "assistant/renumber_window.h"
#include "assistant/label_window.h"
#include "assistant/visibility_window.h"
#include "assistant/router_window.h"
#include "vb/error.h"
#include "workbench/bom_view.h"

namespace app {

std::string untrappedText(int number, const std::string& description) {
  return "运行时错误 '" + std::to_string(number) + "':\n" + description;
}

Program::Program(platform::Programs& programs, platform::User& user, platform::Desktop& desktop,
                 platform::Files& files)
    : services_{programs, user, desktop, files, *this}, settings_(*this) {
  keepFreedMemory();
  registerWindows();
}

Program::~Program() = default;

void Program::registerWindows() {
  factories_[ToolWindow::kName] = [this] {
    return std::make_unique<ToolWindow>(services_, settings_);
  };
  factories_[capture::SettingsWindow::kName] = [] { return std::make_unique<capture::SettingsWindow>(); };
  factories_[workbench::BomView::kName] = [this] {
    auto view = std::make_unique<workbench::BomView>(services_, settings_);
    view->setCatalogue(std::make_unique<catalogue::CatalogueCommands>(
        *view, services_, settings_, [this]() -> platform::CommonDialog& { return tool().dialog(); }));
    return view;
  };
  factories_[assistant::DecalWindow::kName] = [this] { return std::make_unique<assistant::DecalWindow>(services_); };
  factories_[assistant::LabelWindow::kName] = [this] { return std::make_unique<assistant::LabelWindow>(services_); };
  factories_[assistant::VisibilityWindow::kName] = [this] { return std::make_unique<assistant::VisibilityWindow>(services_); };
  factories_[assistant::RouterWindow::kName] = [this] { return std::make_unique<assistant::RouterWindow>(services_); };
  factories_[assistant::RenumberWindow::kName] = [this] {
    return std::make_unique<assistant::RenumberWindow>(services_);
  };
}

void Program::start() {
  dispatch([this] { tool().startUp(); });
}

ToolWindow& Program::tool() { return static_cast<ToolWindow&>(window(ToolWindow::kName)); }

ui::Window& Program::window(const std::string& name) {
  if (ui::Window* w = existing(name)) return *w;
  auto f = factories_.find(name);
  if (f == factories_.end()) vb::raise(vb::kAppDefined, "no window named " + name);
  windows_.emplace_back(name, f->second());
  return *windows_.back().second;
}

ui::Window* Program::existing(const std::string& name) const {
  for (const auto& w : windows_)
    if (w.first == name) return w.second.get();
  return nullptr;
}

void Program::destroy(const std::string& name) {
  for (auto it = windows_.begin(); it != windows_.end(); ++it) {
    if (it->first != name) continue;
    it->second->hide();
    dying_.push_back(std::move(it->second));
    windows_.erase(it);
    break;
  }
  if (depth_ == 0) dying_.clear();
}

std::vector<ui::Window*> Program::windows() const {
  std::vector<ui::Window*> out;
  for (const auto& w : windows_) out.push_back(w.second.get());
  return out;
}

void Program::reportUntrapped(int number, const std::string& description) {
  platform::notify(services_.user, platform::kTitle, untrappedText(number, description));
}

void Program::dispatch(const std::function<void()>& action) {
  if (ended_) return;
  ++depth_;
  try {
    action();
  } catch (const vb::ProgramEnd&) {
    ended_ = true;
  } catch (const vb::Error& e) {
    if (depth_ == 1) reportUntrapped(e.number(), e.description());
    else {
      --depth_;
      throw;
    }
  } catch (const std::bad_alloc&) {
    if (depth_ == 1) reportUntrapped(7, "Out of memory");
    else {
      --depth_;
      throw;
    }
  }
  --depth_;
  if (depth_ == 0) dying_.clear();
}

void Program::close(const std::string& windowName) {
  dispatch([&] {
    if (ui::Window* w = existing(windowName)) w->queryClose();
  });
}

void Program::tick(int n) {
  for (int i = 0; i < n && !ended_; ++i) {
    std::vector<std::string> names;
    for (const auto& w : windows_) names.push_back(w.first);
    // A timer's handler may close windows, so each timer is looked up afresh.
    for (const std::string& name : names) {
      for (size_t k = 0;; ++k) {
        ui::Window* w = existing(name);
        if (!w || ended_) break;
        auto timers = w->timers();
        if (k >= timers.size()) break;
        ui::Timer* t = timers[k];
        dispatch([t] { t->tick(); });
      }
    }
  }
}

}  // namespace app
