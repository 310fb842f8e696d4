// The host's automation model over the loaded menu groups: the application,
// the menu group collection, groups, pop menus and their items, toolbars and
// their buttons, each an object answering get, put and call by dispatch id.
// Changes go straight into MenuGroups, so the frame shows them and saving a
// group writes them to its menu file.
#include "afxdisp.h"

#include "cadhost/menu_groups.h"
#include "text_util.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

using cadhost::MenuGroups;
using namespace cadhost::menu;

// Dispatch ids of the model.
namespace id {
constexpr DISPID kItem = 0;
constexpr DISPID kCount = 0x60020002;
// application
constexpr DISPID kAppMenuGroups = 28;
// menu group
constexpr DISPID kGroupName = 0x60020002;
constexpr DISPID kGroupMenus = 0x60020005;
constexpr DISPID kGroupToolbars = 0x60020006;
constexpr DISPID kGroupUnload = 0x60020007;
constexpr DISPID kGroupSave = 0x60020008;
// pop menu
constexpr DISPID kPopName = 0x60020005;
constexpr DISPID kPopAddItem = 0x6002000a;
constexpr DISPID kPopAddSubMenu = 0x6002000b;
constexpr DISPID kPopAddSeparator = 0x6002000c;
constexpr DISPID kPopInsertInMenuBar = 0x6002000d;
constexpr DISPID kPopRemoveFromMenuBar = 0x6002000e;
constexpr DISPID kPopOnMenuBar = 0x6002000f;
// pop menu item
constexpr DISPID kItemLabel = 0x60020002;
constexpr DISPID kItemMacro = 0x60020006;
constexpr DISPID kItemDelete = 0x60020012;
constexpr DISPID kItemEndSubMenuLevel = 0x60020013;
// toolbar collection
constexpr DISPID kToolbarsAdd = 0x60020007;
// toolbar
constexpr DISPID kToolbarName = 0x60020005;
constexpr DISPID kToolbarVisible = 0x60020006;
constexpr DISPID kToolbarLargeButtons = 0x60020007;
constexpr DISPID kToolbarAddButton = 0x60020015;
constexpr DISPID kToolbarAddSeparator = 0x60020016;
constexpr DISPID kToolbarDelete = 0x60020019;
// toolbar button
constexpr DISPID kButtonName = 0x60020005;
constexpr DISPID kButtonSetBitmaps = 0x6002000e;
} // namespace id

[[noreturn]] void fail(SCODE code, std::string text) {
    throw COleDispatchException(code, std::move(text));
}

[[noreturn]] void unknownMember(DISPID dispid, WORD flags) {
    const char* kind = flags & DISPATCH_PROPERTYPUT   ? "property put"
                       : flags & DISPATCH_PROPERTYGET ? "property get"
                                                      : "method";
    char text[96];
    std::snprintf(text, sizeof text, "Unknown name: no %s with dispatch id 0x%lx.", kind,
                  static_cast<unsigned long>(dispid));
    fail(DISP_E_MEMBERNOTFOUND, text);
}

void expectArgs(const std::vector<COleVariant>& args, std::size_t count) {
    if (args.size() != count)
        fail(DISP_E_BADPARAMCOUNT, "Invalid number of parameters.");
}

long integerArg(const COleVariant& v) {
    if (!v.isInteger())
        fail(DISP_E_TYPEMISMATCH, "Type mismatch: an index must be an integer.");
    return v.lVal;
}

std::string stringArg(const COleVariant& v) {
    if (v.vt != VT_BSTR)
        fail(DISP_E_TYPEMISMATCH, "Type mismatch: a text was expected.");
    return v.bstrVal;
}

bool boolArg(const COleVariant& v) {
    if (v.vt == VT_BOOL)
        return v.boolVal;
    if (v.isInteger())
        return v.lVal != 0;
    fail(DISP_E_TYPEMISMATCH, "Type mismatch: a boolean was expected.");
}

// An element of a list of `count`: refused outside it.
std::size_t elementIndex(const COleVariant& v, std::size_t count) {
    const long index = integerArg(v);
    if (index < 0 || std::size_t(index) >= count)
        fail(DISP_E_BADINDEX, "Invalid index.");
    return std::size_t(index);
}

// Where something new goes: an index past the end appends.
std::size_t insertIndex(const COleVariant& v, std::size_t count) {
    const long index = integerArg(v);
    return index < 0 ? 0 : std::min(std::size_t(index), count);
}

MenuGroup& groupNamed(const std::string& name) {
    if (MenuGroup* group = MenuGroups::instance().find(name))
        return *group;
    fail(E_FAIL, "The menu group \"" + name + "\" is not loaded.");
}

void changed() {
    MenuGroups::instance().notifyChanged();
}

// ---- pop menus: a group's pop menu, or a submenu by the item positions leading to it.

struct PopPath {
    std::string group;
    std::size_t pop = 0;
    std::vector<std::size_t> items;
};

struct PopView {
    MenuGroup* group;
    PopMenu* pop;
    std::vector<MenuItem>* items;
    std::string name;
};

PopView resolve(const PopPath& path) {
    MenuGroup& group = groupNamed(path.group);
    if (path.pop >= group.pops.size())
        fail(E_FAIL, "The pop menu is no longer in its menu group.");
    PopMenu& pop = group.pops[path.pop];
    std::vector<MenuItem>* items = &pop.items;
    std::string name = pop.name;
    for (std::size_t i : path.items) {
        if (i >= items->size() || (*items)[i].kind != MenuItem::Kind::Submenu)
            fail(E_FAIL, "The submenu is no longer in its menu.");
        name = (*items)[i].label;
        items = &(*items)[i].children;
    }
    return {&group, &pop, items, name};
}

class PopMenuObject;

class PopMenuItemObject : public IDispatch {
public:
    PopMenuItemObject(PopPath parent, std::size_t index)
        : m_parent(std::move(parent)), m_index(index) {}

    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        MenuItem& item = resolveItem();
        if (flags & DISPATCH_PROPERTYPUT) {
            expectArgs(args, 1);
            if (dispid == id::kItemEndSubMenuLevel) {
                item.endsLevel = boolArg(args[0]);
                return {};
            }
            if (dispid == id::kItemLabel) {
                item.label = stringArg(args[0]);
                changed();
                return {};
            }
            unknownMember(dispid, flags);
        }
        if (flags & DISPATCH_PROPERTYGET) {
            if (dispid == id::kItemLabel)
                return COleVariant(item.label);
            if (dispid == id::kItemMacro)
                return COleVariant(item.macro);
            if (dispid == id::kItemEndSubMenuLevel)
                return COleVariant(item.endsLevel);
        }
        if ((flags & DISPATCH_METHOD) && dispid == id::kItemDelete) {
            auto view = resolve(m_parent);
            view.items->erase(view.items->begin() + std::ptrdiff_t(m_index));
            changed();
            return {};
        }
        unknownMember(dispid, flags);
    }

private:
    MenuItem& resolveItem() {
        auto view = resolve(m_parent);
        if (m_index >= view.items->size())
            fail(E_FAIL, "The menu item is no longer in its menu.");
        return (*view.items)[m_index];
    }
    PopPath m_parent;
    std::size_t m_index;
};

class PopMenuObject : public IDispatch {
public:
    explicit PopMenuObject(PopPath path) : m_path(std::move(path)) {}

    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        PopView view = resolve(m_path);
        if (flags & DISPATCH_PROPERTYGET) {
            if (dispid == id::kCount)
                return COleVariant(long(view.items->size()));
            if (dispid == id::kPopName)
                return COleVariant(view.name);
            if (dispid == id::kPopOnMenuBar)
                return COleVariant(onBar(view));
        }
        if (!(flags & DISPATCH_METHOD) || (flags & DISPATCH_PROPERTYPUT))
            unknownMember(dispid, flags);
        switch (dispid) {
        case id::kItem: {
            expectArgs(args, 1);
            return item(elementIndex(args[0], view.items->size()));
        }
        case id::kPopAddItem: {
            expectArgs(args, 3);
            MenuItem item;
            item.label = stringArg(args[1]);
            item.macro = stringArg(args[2]);
            return insert(view, args[0], std::move(item));
        }
        case id::kPopAddSubMenu: {
            expectArgs(args, 2);
            MenuItem item;
            item.kind = MenuItem::Kind::Submenu;
            item.label = stringArg(args[1]);
            const std::size_t at = insertAt(view, args[0], std::move(item));
            PopPath sub = m_path;
            sub.items.push_back(at);
            return COleVariant(LPDISPATCH(std::make_shared<PopMenuObject>(std::move(sub))));
        }
        case id::kPopAddSeparator: {
            expectArgs(args, 1);
            MenuItem item;
            item.kind = MenuItem::Kind::Separator;
            return insert(view, args[0], std::move(item));
        }
        case id::kPopInsertInMenuBar: {
            expectArgs(args, 1);
            menuBarOnly();
            const long at = integerArg(args[0]);
            MenuGroups::instance().menucmd("P" + std::to_string(std::max(1L, at + 1)) + "=+" +
                                           view.group->name + "." + view.pop->section);
            return {};
        }
        case id::kPopRemoveFromMenuBar: {
            expectArgs(args, 0);
            menuBarOnly();
            const auto& bar = MenuGroups::instance().bar();
            for (std::size_t i = 0; i < bar.size(); ++i)
                if (cadhost::equalsNoCase(bar[i].group, view.group->name) &&
                    cadhost::equalsNoCase(bar[i].section, view.pop->section)) {
                    MenuGroups::instance().menucmd("P" + std::to_string(i + 1) + "=-");
                    break;
                }
            return {};
        }
        default:
            unknownMember(dispid, flags);
        }
    }

private:
    void menuBarOnly() const {
        if (!m_path.items.empty())
            fail(E_FAIL, "A submenu cannot go on the menu bar by itself.");
    }
    bool onBar(const PopView& view) const {
        if (!m_path.items.empty())
            return false;
        const auto& bar = MenuGroups::instance().bar();
        return std::any_of(bar.begin(), bar.end(), [&](const MenuGroups::BarEntry& e) {
            return cadhost::equalsNoCase(e.group, view.group->name) &&
                   cadhost::equalsNoCase(e.section, view.pop->section);
        });
    }
    std::size_t insertAt(PopView& view, const COleVariant& index, MenuItem item) {
        const std::size_t at = insertIndex(index, view.items->size());
        view.items->insert(view.items->begin() + std::ptrdiff_t(at), std::move(item));
        changed();
        return at;
    }
    COleVariant insert(PopView& view, const COleVariant& index, MenuItem item) {
        return this->item(insertAt(view, index, std::move(item)));
    }
    COleVariant item(std::size_t index) const {
        return COleVariant(LPDISPATCH(std::make_shared<PopMenuItemObject>(m_path, index)));
    }
    PopPath m_path;
};

// ---- toolbars

Toolbar& toolbarAt(const std::string& group, std::size_t index) {
    MenuGroup& g = groupNamed(group);
    if (index >= g.toolbars.size())
        fail(E_FAIL, "The toolbar is no longer in its menu group.");
    return g.toolbars[index];
}

class ToolbarButtonObject : public IDispatch {
public:
    ToolbarButtonObject(std::string group, std::size_t toolbar, std::size_t index)
        : m_group(std::move(group)), m_toolbar(toolbar), m_index(index) {}

    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        Toolbar& toolbar = toolbarAt(m_group, m_toolbar);
        if (m_index >= toolbar.buttons.size())
            fail(E_FAIL, "The toolbar button is no longer on its toolbar.");
        ToolbarButton& button = toolbar.buttons[m_index];
        if ((flags & DISPATCH_PROPERTYGET) && dispid == id::kButtonName)
            return COleVariant(button.name);
        if ((flags & DISPATCH_METHOD) && dispid == id::kButtonSetBitmaps) {
            expectArgs(args, 2);
            button.smallBitmap = stringArg(args[0]);
            button.largeBitmap = stringArg(args[1]);
            changed();
            return {};
        }
        unknownMember(dispid, flags);
    }

private:
    std::string m_group;
    std::size_t m_toolbar;
    std::size_t m_index;
};

class ToolbarObject : public IDispatch {
public:
    ToolbarObject(std::string group, std::size_t index)
        : m_group(std::move(group)), m_index(index) {}

    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        Toolbar& toolbar = toolbarAt(m_group, m_index);
        if (flags & DISPATCH_PROPERTYPUT) {
            expectArgs(args, 1);
            if (dispid == id::kToolbarVisible) {
                toolbar.visible = boolArg(args[0]);
                changed();
                return {};
            }
            // The host draws one size of buttons; the choice is taken and kept
            // for the object's callers only.
            if (dispid == id::kToolbarLargeButtons) {
                m_largeButtons = boolArg(args[0]);
                return {};
            }
            unknownMember(dispid, flags);
        }
        if (flags & DISPATCH_PROPERTYGET) {
            if (dispid == id::kCount)
                return COleVariant(long(toolbar.buttons.size()));
            if (dispid == id::kToolbarName)
                return COleVariant(toolbar.name);
            if (dispid == id::kToolbarVisible)
                return COleVariant(toolbar.visible);
            if (dispid == id::kToolbarLargeButtons)
                return COleVariant(m_largeButtons);
        }
        if (!(flags & DISPATCH_METHOD))
            unknownMember(dispid, flags);
        switch (dispid) {
        case id::kItem:
            expectArgs(args, 1);
            return button(elementIndex(args[0], toolbar.buttons.size()));
        case id::kToolbarAddButton: {
            expectArgs(args, 5);
            ToolbarButton b;
            b.name = stringArg(args[1]);
            b.help = stringArg(args[2]);
            b.macro = stringArg(args[3]);
            b.flyout = boolArg(args[4]);
            return insert(toolbar, args[0], std::move(b));
        }
        case id::kToolbarAddSeparator: {
            expectArgs(args, 1);
            ToolbarButton b;
            b.separator = true;
            return insert(toolbar, args[0], std::move(b));
        }
        case id::kToolbarDelete: {
            expectArgs(args, 0);
            MenuGroup& group = groupNamed(m_group);
            group.toolbars.erase(group.toolbars.begin() + std::ptrdiff_t(m_index));
            changed();
            return {};
        }
        default:
            unknownMember(dispid, flags);
        }
    }

private:
    COleVariant insert(Toolbar& toolbar, const COleVariant& index, ToolbarButton b) {
        const std::size_t at = insertIndex(index, toolbar.buttons.size());
        toolbar.buttons.insert(toolbar.buttons.begin() + std::ptrdiff_t(at), std::move(b));
        changed();
        return button(at);
    }
    COleVariant button(std::size_t index) const {
        return COleVariant(
            LPDISPATCH(std::make_shared<ToolbarButtonObject>(m_group, m_index, index)));
    }
    std::string m_group;
    std::size_t m_index;
    bool m_largeButtons = false;
};

// ---- collections of a group and the group itself

class PopMenusObject : public IDispatch {
public:
    explicit PopMenusObject(std::string group) : m_group(std::move(group)) {}
    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        MenuGroup& group = groupNamed(m_group);
        if ((flags & DISPATCH_PROPERTYGET) && dispid == id::kCount)
            return COleVariant(long(group.pops.size()));
        if ((flags & DISPATCH_METHOD) && dispid == id::kItem) {
            expectArgs(args, 1);
            const std::size_t index = elementIndex(args[0], group.pops.size());
            return COleVariant(
                LPDISPATCH(std::make_shared<PopMenuObject>(PopPath{m_group, index, {}})));
        }
        unknownMember(dispid, flags);
    }

private:
    std::string m_group;
};

class ToolbarsObject : public IDispatch {
public:
    explicit ToolbarsObject(std::string group) : m_group(std::move(group)) {}
    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        MenuGroup& group = groupNamed(m_group);
        if ((flags & DISPATCH_PROPERTYGET) && dispid == id::kCount)
            return COleVariant(long(group.toolbars.size()));
        if ((flags & DISPATCH_METHOD) && dispid == id::kItem) {
            expectArgs(args, 1);
            return toolbar(elementIndex(args[0], group.toolbars.size()));
        }
        if ((flags & DISPATCH_METHOD) && dispid == id::kToolbarsAdd) {
            expectArgs(args, 1);
            Toolbar t;
            t.name = stringArg(args[0]);
            if (t.name.empty())
                fail(E_FAIL, "A toolbar needs a name.");
            t.section = "TB_" + cadhost::upperCase(t.name);
            for (char& c : t.section)
                if (c == ' ')
                    c = '_';
            group.toolbars.push_back(std::move(t));
            changed();
            return toolbar(group.toolbars.size() - 1);
        }
        unknownMember(dispid, flags);
    }

private:
    COleVariant toolbar(std::size_t index) const {
        return COleVariant(LPDISPATCH(std::make_shared<ToolbarObject>(m_group, index)));
    }
    std::string m_group;
};

class MenuGroupObject : public IDispatch {
public:
    explicit MenuGroupObject(std::string name) : m_name(std::move(name)) {}
    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        MenuGroup& group = groupNamed(m_name);
        if (flags & DISPATCH_PROPERTYGET) {
            if (dispid == id::kGroupName)
                return COleVariant(group.name);
            if (dispid == id::kGroupMenus)
                return COleVariant(LPDISPATCH(std::make_shared<PopMenusObject>(m_name)));
            if (dispid == id::kGroupToolbars)
                return COleVariant(LPDISPATCH(std::make_shared<ToolbarsObject>(m_name)));
        }
        if ((flags & DISPATCH_METHOD) && dispid == id::kGroupUnload) {
            MenuGroups::instance().unload(group.name);
            return {};
        }
        if ((flags & DISPATCH_METHOD) && dispid == id::kGroupSave) {
            // The argument names the file type (0 compiled, 1 source); the
            // host keeps source files only.
            expectArgs(args, 1);
            integerArg(args[0]);
            if (!MenuGroups::instance().save(group))
                fail(E_FAIL, "Cannot save the menu group \"" + group.name + "\" to \"" +
                                 group.file + "\".");
            return {};
        }
        unknownMember(dispid, flags);
    }

private:
    std::string m_name;
};

class MenuGroupsObject : public IDispatch {
public:
    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>& args) override {
        MenuGroups& groups = MenuGroups::instance();
        if ((flags & DISPATCH_PROPERTYGET) && dispid == id::kCount)
            return COleVariant(long(groups.count()));
        if ((flags & DISPATCH_METHOD) && dispid == id::kItem) {
            expectArgs(args, 1);
            const std::size_t index = elementIndex(args[0], groups.count());
            return COleVariant(
                LPDISPATCH(std::make_shared<MenuGroupObject>(groups.at(index)->name)));
        }
        unknownMember(dispid, flags);
    }
};

class ApplicationObject : public IDispatch {
public:
    COleVariant Invoke(DISPID dispid, WORD flags, const std::vector<COleVariant>&) override {
        if ((flags & DISPATCH_PROPERTYGET) && dispid == id::kAppMenuGroups)
            return COleVariant(LPDISPATCH(std::make_shared<MenuGroupsObject>()));
        unknownMember(dispid, flags);
    }
};

class HostWinApp : public CWinApp {
public:
    LPDISPATCH GetIDispatch(bool) override { return std::make_shared<ApplicationObject>(); }
};

} // namespace

IDispatch::~IDispatch() = default;
CWinApp::~CWinApp() = default;

COleDispatchException::COleDispatchException(SCODE code, std::string description)
    : m_scError(code), m_strDescription(std::move(description)) {}
COleDispatchException::~COleDispatchException() = default;

int COleDispatchException::ReportError(UINT type, UINT helpId) const {
    return AfxMessageBox(m_strDescription.empty() ? std::string("Automation error.")
                                                  : m_strDescription,
                         type, helpId);
}

COleVariant COleDispatchDriver::GetProperty(DISPID dispid) const {
    if (!m_lpDispatch)
        fail(E_FAIL, "No automation object.");
    return m_lpDispatch->Invoke(dispid, DISPATCH_PROPERTYGET, {});
}

void COleDispatchDriver::SetProperty(DISPID dispid, const COleVariant& value) const {
    if (!m_lpDispatch)
        fail(E_FAIL, "No automation object.");
    m_lpDispatch->Invoke(dispid, DISPATCH_PROPERTYPUT, {value});
}

COleVariant COleDispatchDriver::InvokeMethod(DISPID dispid,
                                             std::initializer_list<COleVariant> args) const {
    if (!m_lpDispatch)
        fail(E_FAIL, "No automation object.");
    return m_lpDispatch->Invoke(dispid, DISPATCH_METHOD, std::vector<COleVariant>(args));
}

LPDISPATCH COleDispatchDriver::GetObject(DISPID dispid) const {
    COleVariant v = GetProperty(dispid);
    if (v.vt != VT_DISPATCH || !v.pdispVal)
        fail(DISP_E_TYPEMISMATCH, "Type mismatch: an object was expected.");
    return v.pdispVal;
}

long COleDispatchDriver::GetLong(DISPID dispid) const {
    COleVariant v = GetProperty(dispid);
    if (!v.isInteger())
        fail(DISP_E_TYPEMISMATCH, "Type mismatch: a number was expected.");
    return v.lVal;
}

std::string COleDispatchDriver::GetString(DISPID dispid) const {
    COleVariant v = GetProperty(dispid);
    if (v.vt != VT_BSTR)
        fail(DISP_E_TYPEMISMATCH, "Type mismatch: a text was expected.");
    return v.bstrVal;
}

CWinApp* acedGetAcadWinApp() {
    static HostWinApp app;
    return &app;
}
