#include "quenvar/forms.h"

#include <algorithm>
#include <stdexcept>

#include "quenvar/error.h"

namespace qv::forms {

const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::TextBox: return "textbox";
    case ControlKind::ListBox: return "listbox";
    case ControlKind::ComboBox: return "combobox";
    case ControlKind::OptionButton: return "option";
    case ControlKind::CommandButton: return "button";
    case ControlKind::Frame: return "frame";
    case ControlKind::Line: return "line";
    case ControlKind::MenuEntry: return "menu";
    case ControlKind::Plot: return "plot";
    }
    return "?";
}

// ---- Control --------------------------------------------------------------------------------

Control::Control(Window& window, ControlKind kind, std::string name, int index)
    : window_(window), kind_(kind), name_(std::move(name)), index_(index)
{
}

std::string Control::qualifiedName() const
{
    return index_ > 0 ? name_ + "(" + std::to_string(index_) + ")" : name_;
}

void Control::setCaption(std::string caption)
{
    if (caption == caption_) return;
    caption_ = std::move(caption);
    ++plotRevision_;
}

void Control::setCurves(std::vector<PlotPoint> points, std::vector<PlotPoint> dashed)
{
    if (points == points_ && dashed == dashed_) return;
    points_ = std::move(points);
    dashed_ = std::move(dashed);
    ++plotRevision_;
}

void Control::setAxisTitles(std::string x, std::string y)
{
    if (x == xTitle_ && y == yTitle_) return;
    xTitle_ = std::move(x);
    yTitle_ = std::move(y);
    ++plotRevision_;
}

bool Control::shown() const { return visible_ && (!container_ || container_->shown()); }

void Control::setVisible(bool visible) { visible_ = visible; }

std::string Control::text() const
{
    if (kind_ == ControlKind::ListBox) return item(listIndex_);
    return text_;
}

std::string Control::item(int position) const
{
    if (position < 0 || position >= static_cast<int>(items_.size())) return {};
    return items_[static_cast<std::size_t>(position)];
}

void Control::setText(std::string text)
{
    if (kind_ == ControlKind::ListBox) {
        auto it = std::find(items_.begin(), items_.end(), text);
        listIndex_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
        return;
    }
    if (kind_ == ControlKind::ComboBox) {
        auto it = std::find(items_.begin(), items_.end(), text);
        listIndex_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    if (text == text_) return;
    text_ = std::move(text);
    if (onChange) onChange();
}

void Control::clear()
{
    items_.clear();
    listIndex_ = -1;
    ++itemsRevision_;
    if (kind_ == ControlKind::ComboBox) text_.clear();  // a cleared combo box loses its edit text too
}

void Control::addItem(std::string item)
{
    items_.push_back(std::move(item));
    ++itemsRevision_;
}

void Control::removeItem(int position)
{
    if (position < 0 || position >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + position);
    if (listIndex_ == position)
        listIndex_ = -1;
    else if (listIndex_ > position)
        --listIndex_;
    ++itemsRevision_;
}

void Control::setListIndex(int position)
{
    if (position < 0 || position >= static_cast<int>(items_.size())) {
        listIndex_ = -1;
        return;
    }
    listIndex_ = position;
    if (kind_ == ControlKind::ComboBox && text_ != items_[static_cast<std::size_t>(position)]) {
        text_ = items_[static_cast<std::size_t>(position)];
        if (onChange) onChange();
    }
}

void Control::setValue(bool selected)
{
    if (selected && !group_.empty()) {
        for (const auto& other : window_.controls())
            if (other.get() != this && other->kind() == ControlKind::OptionButton && other->group() == group_)
                other->value_ = false;
    }
    value_ = selected;
}

void Control::userType(std::string text)
{
    if (kind_ == ControlKind::ComboBox) {
        auto it = std::find(items_.begin(), items_.end(), text);
        listIndex_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    text_ = std::move(text);
    if (onChange) onChange();
}

void Control::userPick(int position)
{
    setListIndex(position);
    if (onClick) onClick();
}

// ---- Window ---------------------------------------------------------------------------------

Window::Window(Application& app, std::string formName, std::string caption)
    : app_(app), formName_(std::move(formName)), caption_(std::move(caption))
{
}

Window::~Window() = default;

Control& Window::add(ControlKind kind, const std::string& name, int index)
{
    controls_.push_back(std::make_unique<Control>(*this, kind, name, index));
    return *controls_.back();
}

Control& Window::label(const std::string& name, std::string caption, bool visible, int index)
{
    Control& c = add(ControlKind::Label, name, index);
    c.setCaption(std::move(caption));
    c.setVisible(visible);
    return c;
}

Control& Window::textBox(const std::string& name, bool visible, int index)
{
    Control& c = add(ControlKind::TextBox, name, index);
    c.setVisible(visible);
    return c;
}

Control& Window::listBox(const std::string& name, bool visible)
{
    Control& c = add(ControlKind::ListBox, name);
    c.setVisible(visible);
    return c;
}

Control& Window::comboBox(const std::string& name, bool visible)
{
    Control& c = add(ControlKind::ComboBox, name);
    c.setVisible(visible);
    return c;
}

Control& Window::button(const std::string& name, std::string caption, bool visible)
{
    Control& c = add(ControlKind::CommandButton, name);
    c.setCaption(std::move(caption));
    c.setVisible(visible);
    return c;
}

Control& Window::option(const std::string& name, std::string caption, std::string group, int index)
{
    Control& c = add(ControlKind::OptionButton, name, index);
    c.setCaption(std::move(caption));
    c.setGroup(std::move(group));
    return c;
}

Control& Window::frame(const std::string& name, std::string caption)
{
    Control& c = add(ControlKind::Frame, name);
    c.setCaption(std::move(caption));
    return c;
}

Control& Window::line(const std::string& name) { return add(ControlKind::Line, name); }

Control& Window::menu(const std::string& name, std::string caption)
{
    Control& c = add(ControlKind::MenuEntry, name);
    c.setCaption(std::move(caption));
    return c;
}

Control& Window::plot(const std::string& name, std::string caption)
{
    Control& c = add(ControlKind::Plot, name);
    c.setCaption(std::move(caption));
    return c;
}

Control* Window::find(std::string_view name, int index) const
{
    for (const auto& c : controls_)
        if (c->index() == index && c->name() == name) return c.get();
    return nullptr;
}

Control& Window::operator()(std::string_view name, int index) const
{
    if (Control* c = find(name, index)) return *c;
    throw std::out_of_range("no control " + std::string(name) + " in " + formName_);
}

// ---- Application ----------------------------------------------------------------------------

void Application::open(Window& window)
{
    if (!window.open_) {
        window.open_ = true;
        open_.push_back(&window);
        if (!main_) main_ = &window;
        platform_.windowOpened(window);
        if (window.onLoad) window.onLoad();
    } else {
        platform_.windowOpened(window);  // shown again, without a new load
    }
}

void Application::close(Window& window)
{
    if (!window.open_) return;
    window.open_ = false;
    open_.erase(std::remove(open_.begin(), open_.end(), &window), open_.end());
    platform_.windowClosed(window);
}

void Application::userClose(Window& window)
{
    dispatch([&] {
        if (window.onUserClose) window.onUserClose();
        if (&window == main_) end();
        close(window);
    });
}

void Application::dispatch(const std::function<void()>& handler)
{
    if (ended_) return;
    try {
        handler();
    } catch (const ProgramEnd&) {
        // The program has ended; nothing more runs.
    } catch (const qv::Error& e) {
        message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
    } catch (const std::exception& e) {
        message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
    }
}

void Application::end()
{
    if (!ended_) {
        ended_ = true;
        platform_.programEnded();
    }
    throw ProgramEnd{};
}

void Application::fatal(const std::string& text)
{
    message(text, "Quenvar error", Buttons::Ok, Icon::Critical);
    end();
}

Answer Application::message(const std::string& text, const std::string& title, Buttons buttons, Icon icon)
{
    return platform_.message(text, title, buttons, icon);
}

bool Application::askYesNo(const std::string& text, const std::string& title)
{
    return message(text, title, Buttons::YesNo, Icon::Question) != Answer::No;
}

std::optional<std::string> Application::openDialog(const std::string& filter, const std::string& initialDir,
                                                   const std::string& currentDir)
{
    return platform_.fileDialog(DialogKind::Open, filter, initialDir, currentDir);
}

std::optional<std::string> Application::saveDialog(const std::string& filter, const std::string& initialDir,
                                                   const std::string& currentDir)
{
    return platform_.fileDialog(DialogKind::Save, filter, initialDir, currentDir);
}

}  // namespace qv::forms
