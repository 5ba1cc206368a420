#include "tests/sim/SimWindows.h"

#include "res/resource.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {

namespace {
World* world = nullptr;
}

World& Get()
{
    if (!world)
        world = new World();
    return *world;
}

void Reset()
{
    delete world;
    world = new World();
}

std::string Key(const std::string& path)
{
    std::string key = path;
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '/')
            c = '\\';
    }
    return key;
}

void AddFile(const std::string& path, std::string data, DWORD attributes)
{
    File file;
    file.data = std::move(data);
    file.attributes = attributes;
    Get().files[Key(path)] = file;
}

File* FindFile(const std::string& path)
{
    auto found = Get().files.find(Key(path));
    return found == Get().files.end() ? nullptr : &found->second;
}

std::shared_ptr<VersionResource> MarkerVersion(const std::string& value)
{
    auto version = std::make_shared<VersionResource>();
    version->translations = {0x04E40407};
    version->values["\\StringFileInfo\\040704e4\\OrvelVersion"] = value + std::string(1, '\0');
    return version;
}

Window* FromHandle(HWND window) { return reinterpret_cast<Window*>(window); }
HWND Handle(Window* window) { return reinterpret_cast<HWND>(window); }

namespace {

Window* AddChild(Window* parent, int id, const char* className, const char* text, bool enabled, bool visible)
{
    auto child = std::make_unique<Window>();
    child->id = id;
    child->className = className;
    child->text = text;
    child->enabled = enabled;
    child->visible = visible;
    child->parent = parent;
    child->hasSystemMenu = false;
    parent->children.push_back(std::move(child));
    return parent->children.back().get();
}

}  // namespace

HWND CreateDialogWindow(UINT templateId, Dialog* dialog)
{
    auto window = std::make_unique<Window>();
    window->className = "#32770";
    window->dialog = dialog;
    Window* w = window.get();
    const DialogTemplate& source = Template(templateId);
    w->text = source.caption;
    for (const TemplateControl& control : source.controls)
        AddChild(w, control.id, control.className.c_str(), control.text.c_str(), control.enabled, control.visible);
    Get().topLevel.push_back(std::move(window));
    return Handle(w);
}

Window* Child(HWND dialog, int id)
{
    Window* w = FromHandle(dialog);
    if (!w)
        return nullptr;
    for (auto& child : w->children) {
        if (child->id == id)
            return child.get();
    }
    return nullptr;
}

std::string ExplanationOf(HWND dialog)
{
    Window* text = Child(dialog, IDC_EXPLANATION);
    return text ? text->text : "";
}

std::vector<std::string> LogOf(const std::string& prefix)
{
    std::vector<std::string> entries;
    for (const std::string& entry : Get().log) {
        if (entry.compare(0, prefix.size(), prefix) == 0)
            entries.push_back(entry);
    }
    return entries;
}

}  // namespace sim
