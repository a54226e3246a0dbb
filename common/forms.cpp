#include "quenvar/forms.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "osfile.h"
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

std::string Control::qualifiedName() const { return index_ > 0 ? name_ + "(" + std::to_string(index_) + ")" : name_; }

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

bool Control::enabled() const { return enabled_ && (!container_ || container_->enabled()); }

bool Control::takesFocus() const
{
    switch (kind_) {
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton: return true;
    default: return false;
    }
}

void Control::userClick()
{
    if (kind_ == ControlKind::OptionButton) setValue(true);
    if (onClick) onClick();
}

// ---- Keys -----------------------------------------------------------------------------------

namespace {

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The named keys, in their one spelling.
constexpr std::array namedKeys{"Return", "Escape",   "Delete", "Backspace", "Tab",  "Insert", "Home", "End",
                               "PageUp", "PageDown", "Up",     "Down",      "Left", "Right",  "Space"};

std::optional<std::string> keyName(std::string_view key)
{
    const std::string u = upper(key);
    if (u.size() == 1 && std::isalnum(static_cast<unsigned char>(u[0]))) return u;
    if (u == "ENTER") return "Return";
    if (u.size() >= 2 && u.size() <= 3 && u[0] == 'F' && std::isdigit(static_cast<unsigned char>(u[1])) &&
        (u.size() == 2 || std::isdigit(static_cast<unsigned char>(u[2])))) {
        const int n = std::stoi(u.substr(1));
        if (n >= 1 && n <= 12) return "F" + std::to_string(n);
        return std::nullopt;
    }
    for (const char* name : namedKeys)
        if (upper(name) == u) return std::string(name);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> normalizeKeys(std::string_view keys)
{
    bool ctrl = false, shift = false, alt = false;
    std::optional<std::string> key;
    std::size_t start = 0;
    while (start <= keys.size()) {
        auto plus = keys.find('+', start);
        if (plus == start && plus + 1 == keys.size()) plus = std::string_view::npos;  // "Ctrl++" is not read
        const std::string_view part = keys.substr(start, plus == std::string_view::npos ? keys.npos : plus - start);
        if (key || part.empty()) return std::nullopt;  // the key comes last, once
        const std::string u = upper(part);
        if (plus != std::string_view::npos) {
            bool* flag = u == "CTRL" ? &ctrl : u == "SHIFT" ? &shift : u == "ALT" ? &alt : nullptr;
            if (!flag || *flag) return std::nullopt;
            *flag = true;
        } else {
            key = keyName(part);
            if (!key) return std::nullopt;
        }
        if (plus == std::string_view::npos) break;
        start = plus + 1;
    }
    if (!key) return std::nullopt;
    return std::string(ctrl ? "Ctrl+" : "") + (shift ? "Shift+" : "") + (alt ? "Alt+" : "") + *key;
}

bool textBoxKeeps(const std::string& keys)
{
    // A printable key, alone or with Shift, is typed into the text.
    std::string_view k = keys;
    if (k.rfind("Shift+", 0) == 0) k.remove_prefix(6);
    if (k.size() == 1 || k == "Space") return true;
    for (const char* kept : {"Delete",
                             "Backspace",
                             "Home",
                             "End",
                             "Left",
                             "Right",
                             "Shift+Home",
                             "Shift+End",
                             "Shift+Left",
                             "Shift+Right",
                             "Shift+Delete",
                             "Shift+Insert",
                             "Ctrl+Left",
                             "Ctrl+Right",
                             "Ctrl+Shift+Left",
                             "Ctrl+Shift+Right",
                             "Ctrl+Home",
                             "Ctrl+End",
                             "Ctrl+Shift+Home",
                             "Ctrl+Shift+End",
                             "Ctrl+Backspace",
                             "Ctrl+Delete",
                             "Ctrl+Insert",
                             "Ctrl+Z",
                             "Ctrl+Y",
                             "Ctrl+Shift+Z",
                             "Ctrl+A",
                             "Ctrl+C",
                             "Ctrl+X",
                             "Ctrl+V"})
        if (keys == kept) return true;
    return false;
}

std::string titleWithFile(std::string_view base, std::string_view file, bool modified)
{
    std::string title = modified ? "*" : "";
    if (file.empty()) return title + std::string(base);
    title += file;
    if (!base.empty()) title += " - " + std::string(base);
    return title;
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

Control* Window::focus() const { return focus_ && focus_->usable() ? focus_ : nullptr; }

bool Window::focusInText() const
{
    const Control* c = focus();
    return c && (c->kind() == ControlKind::TextBox || c->kind() == ControlKind::ComboBox);
}

void Window::shortcut(std::string_view keys, std::function<void()> handler)
{
    const std::optional<std::string> normal = normalizeKeys(keys);
    if (!normal) throw std::invalid_argument("unknown key: " + std::string(keys));
    for (Shortcut& s : shortcuts_)
        if (s.keys == *normal) {
            s.handler = std::move(handler);
            return;
        }
    shortcuts_.push_back({*normal, std::move(handler)});
}

void Window::shortcut(std::string_view keys, Control& target)
{
    shortcut(keys, [&target] {
        if (target.usable()) target.userClick();
    });
}

const Window::Shortcut* Window::findShortcut(std::string_view keys) const
{
    for (const Shortcut& s : shortcuts_)
        if (s.keys == keys) return &s;
    return nullptr;
}

bool Window::pressKey(std::string_view keys)
{
    const std::optional<std::string> normal = normalizeKeys(keys);
    if (!normal) throw std::invalid_argument("unknown key: " + std::string(keys));
    const std::string& k = *normal;
    if (Control* c = focus()) {
        if (c->onKey && c->onKey(k)) return true;
        if ((c->kind() == ControlKind::TextBox || c->kind() == ControlKind::ComboBox) && textBoxKeeps(k)) return true;
        if (c->kind() == ControlKind::OptionButton && !c->group().empty() &&
            (k == "Up" || k == "Down" || k == "Left" || k == "Right")) {
            chooseNextInGroup(*c, k == "Down" || k == "Right");
            return true;
        }
    }
    if (k.size() == 5 && k.rfind("Alt+", 0) == 0) {
        const char letter = k[4];
        for (const auto& c : controls_) {
            if (std::toupper(static_cast<unsigned char>(c->mnemonic())) != letter || !c->usable()) continue;
            switch (c->kind()) {
            case ControlKind::CommandButton:
            case ControlKind::OptionButton:
                focus_ = c.get();
                ++focusRevision_;
                c->userClick();
                return true;
            case ControlKind::MenuEntry: {
                // Only a menu title answers to Alt (its entries answer to their letter once it is
                // open); opening a menu changes nothing in the window.
                const bool title = std::any_of(controls_.begin(), controls_.end(),
                                               [&](const auto& o) { return o->container() == c.get(); });
                if (title || !c->container()) return true;
                break;
            }
            default: break;
            }
        }
    }
    if (const Shortcut* s = findShortcut(k)) {
        if (s->handler) s->handler();
        return true;
    }
    return false;
}

void Window::chooseNextInGroup(const Control& from, bool forward)
{
    // The usable options of the group, in the window's order; the step wraps round, as the
    // desktop's own option groups do.
    std::vector<Control*> group;
    for (const auto& c : controls_)
        if (c->kind() == ControlKind::OptionButton && c->group() == from.group() && (c.get() == &from || c->usable()))
            group.push_back(c.get());
    const auto at = std::find(group.begin(), group.end(), &from);
    if (group.size() < 2 || at == group.end()) return;
    const std::size_t i = static_cast<std::size_t>(at - group.begin());
    Control* next = group[(i + (forward ? 1 : group.size() - 1)) % group.size()];
    focus_ = next;
    ++focusRevision_;
    next->userClick();
}

Control& Window::statusLine()
{
    if (Control* c = find("lblStatus")) return *c;
    return label("lblStatus", "");
}

std::string Window::status() const
{
    const Control* c = find("lblStatus");
    return c ? c->caption() : std::string();
}

// ---- EditTracker ----------------------------------------------------------------------------

std::string EditTracker::stateOf(const Control& c)
{
    switch (c.kind()) {
    case ControlKind::OptionButton: return c.value() ? "1" : "0";
    case ControlKind::ListBox: return std::to_string(c.listIndex()) + ':' + c.text();
    case ControlKind::Label:
    case ControlKind::CommandButton:
    case ControlKind::Frame:
    case ControlKind::MenuEntry: return c.caption();
    default: return c.text();
    }
}

void EditTracker::snapshot()
{
    saved_.clear();
    saved_.reserve(controls_.size());
    for (const Control* c : controls_) saved_.push_back(stateOf(*c));
}

std::vector<Control*> EditTracker::changed() const
{
    std::vector<Control*> out;
    if (saved_.size() != controls_.size()) return out;  // no snapshot, or controls tracked since
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (stateOf(*controls_[i]) != saved_[i]) out.push_back(controls_[i]);
    return out;
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
        placeStartFocus(window);
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
        if (window.onQueryClose && !window.onQueryClose()) return;
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

bool Application::askYesNo(const std::string& text, const std::string& title, bool defaultNo)
{
    return message(text, title, defaultNo ? Buttons::YesNoDefaultNo : Buttons::YesNo, Icon::Question) != Answer::No;
}

Answer Application::askSaveDiscardCancel(const std::string& text, const std::string& title)
{
    const Answer a = message(text, title, Buttons::SaveDiscardCancel, Icon::Question);
    return a == Answer::Save || a == Answer::Discard ? a : Answer::Cancel;
}

void Application::placeStartFocus(Window& window)
{
    if (window.focus()) return;  // the load event put it somewhere
    Control* to = window.startFocus_ && window.startFocus_->usable() ? window.startFocus_ : nullptr;
    for (auto it = window.controls_.begin(); !to && it != window.controls_.end(); ++it)
        if ((*it)->takesFocus() && (*it)->usable()) to = it->get();
    if (to) window.setFocus(to);
}

std::optional<std::string> Application::openDialog(const std::string& filter, const std::string& initialDir,
                                                   const std::string& currentDir)
{
    return platform_.fileDialog(DialogKind::Open, filter, initialDir, currentDir);
}

std::optional<std::string> Application::saveDialog(const std::string& filter, const std::string& initialDir,
                                                   const std::string& currentDir)
{
    std::optional<std::string> path = platform_.fileDialog(DialogKind::Save, filter, initialDir, currentDir);
    if (!path) return std::nullopt;
    // A name that is a directory stays as it is (the save then fails on it, as on any directory).
    if (!qv::osfile::isDirectory(*path)) *path = withExtension(*path, filterExtension(filter));
    if (readOnlyTarget(*path)) {
        message(readOnlyTargetMessage(*path), "Quenvar", Buttons::Ok, Icon::Exclamation);
        return std::nullopt;
    }
    return path;
}

// ---- Names chosen in file dialogs -----------------------------------------------------------

namespace {

std::string_view fileNameOf(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string filterExtension(std::string_view filter, std::size_t entry)
{
    // The pattern of entry k is the (2k+1)-th field between bars.
    std::size_t start = 0;
    for (std::size_t field = 0; field < 2 * entry + 1; ++field) {
        const auto bar = filter.find('|', start);
        if (bar == std::string_view::npos) return {};
        start = bar + 1;
    }
    std::string_view pattern = filter.substr(start, filter.find('|', start) - start);
    pattern = pattern.substr(0, pattern.find(';'));
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    if (pattern.size() < 3 || pattern.substr(0, 2) != "*." || pattern.find_first_of("*?", 1) != std::string_view::npos)
        return {};
    const std::string_view extension = pattern.substr(1);
    if (extension.find('.', 1) != std::string_view::npos) return std::string(extension);
    return lower(extension);
}

std::string withExtension(const std::string& path, std::string_view extension)
{
    const std::string_view name = fileNameOf(path);
    if (extension.empty() || name.empty() || name.find('.') != std::string_view::npos) return path;
    return path + std::string(extension);
}

bool readOnlyTarget(std::string_view path)
{
    const std::string name = lower(fileNameOf(path));
    for (const char* readOnly : {"thermo.mdb", "type6.mdb", "comp.mdb", "gaussian.mdb", "dabase.txt"})
        if (name == readOnly) return true;
    return false;
}

std::string readOnlyTargetMessage(std::string_view path)
{
    return "\"" + std::string(fileNameOf(path)) +
           "\" is a file that Quenvar and its tools only read; it cannot be saved over. Nothing was saved: choose "
           "another name.";
}

}  // namespace qv::forms
